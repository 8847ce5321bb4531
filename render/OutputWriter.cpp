// The encoding thread (see OutputWriter.h): decoding and drawing wait for it only when it is a
// whole queue behind.
#include "OutputWriter.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace render {
namespace {

constexpr const char* kVideoEncoder = "libx264";
constexpr const char* kPreset = "veryfast";
constexpr const char* kPngEncoder = "png";
constexpr const char* kProResEncoder = "prores_ks";
constexpr const char* kProResProfile = "4444";
constexpr int kPngCompressionLevel = 1;
constexpr const char* kBurnedContainer = "mp4";
constexpr const char* kOverlayContainer = "mov";
// Frames between the decoding and the encoding thread.
constexpr std::size_t kQueuedFrames = 8;
constexpr const char* kNoEncoder = "encoder not available: ";

} // namespace

std::string OutputWriter::open(const RenderRequest& request, const AVCodecContext* decoder,
                               const AVStream* source, const AVStream* audio, AVRational frameRate,
                               int width, int height) {
    const bool burned = request.kind == OutputKind::Burned;
    int rc = avformat_alloc_output_context2(&output_, nullptr,
                                            burned ? kBurnedContainer : kOverlayContainer,
                                            request.outputPath.c_str());
    if (rc < 0)
        return avError("cannot set up the output", rc);
    const char* encoderName = burned                                   ? kVideoEncoder
                              : request.kind == OutputKind::OverlayPng ? kPngEncoder
                                                                       : kProResEncoder;
    const AVCodec* encoder = avcodec_find_encoder_by_name(encoderName);
    if (!encoder)
        return std::string(kNoEncoder) + encoderName;
    encoder_ = avcodec_alloc_context3(encoder);
    videoOut_ = avformat_new_stream(output_, nullptr);
    if (!encoder_ || !videoOut_)
        return kOutOfMemory;
    encoder_->width = width;
    encoder_->height = height;
    encoder_->time_base = source->time_base;
    encoder_->framerate = frameRate;
    encoder_->sample_aspect_ratio = source->codecpar->sample_aspect_ratio;
    encoder_->thread_count = 0;
    if (burned) {
        encoder_->pix_fmt = decoder->pix_fmt;
        encoder_->color_range = decoder->color_range;
        encoder_->colorspace = decoder->colorspace;
        encoder_->color_primaries = decoder->color_primaries;
        encoder_->color_trc = decoder->color_trc;
        av_opt_set(encoder_->priv_data, "preset", kPreset, 0);
        av_opt_set_double(encoder_->priv_data, "crf", request.crf, 0);
    } else if (request.kind == OutputKind::OverlayPng) {
        encoder_->pix_fmt = AV_PIX_FMT_RGBA;
        encoder_->compression_level = kPngCompressionLevel;
    } else {
        encoder_->pix_fmt = AV_PIX_FMT_YUVA444P10LE;
        av_opt_set(encoder_->priv_data, "profile", kProResProfile, 0);
    }
    if (output_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((rc = avcodec_open2(encoder_, encoder, nullptr)) < 0)
        return avError("cannot open the encoder", rc);
    if ((rc = avcodec_parameters_from_context(videoOut_->codecpar, encoder_)) < 0)
        return avError("cannot describe the video", rc);
    videoOut_->time_base = encoder_->time_base;
    videoOut_->avg_frame_rate = frameRate;
    videoOut_->r_frame_rate = frameRate;
    if (audio) {
        audioOut_ = avformat_new_stream(output_, nullptr);
        if (!audioOut_)
            return kOutOfMemory;
        if ((rc = avcodec_parameters_copy(audioOut_->codecpar, audio->codecpar)) < 0)
            return avError("cannot copy the audio", rc);
        audioOut_->codecpar->codec_tag = 0;
        audioOut_->time_base = audio->time_base;
        audioIn_ = audio->time_base;
    }
    if ((rc = avio_open(&output_->pb, request.outputPath.c_str(), AVIO_FLAG_WRITE)) < 0)
        return avError("cannot create the output", rc);
    AVDictionary* options = nullptr;
    if (burned)
        av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(output_, &options);
    av_dict_free(&options);
    if (rc < 0)
        return avError("cannot write the output's header", rc);
    thread_ = std::thread([this] { run(); });
    return {};
}

void OutputWriter::setDurations(std::unordered_map<std::int64_t, std::int64_t> durations) {
    durations_ = std::move(durations);
}

bool OutputWriter::push(QueueItem item) {
    std::unique_lock lock(mutex_);
    space_.wait(lock, [this] { return queue_.size() < kQueuedFrames || !error_.empty(); });
    if (!error_.empty())
        return false;
    queue_.push_back(std::move(item));
    ready_.notify_one();
    return true;
}

std::string OutputWriter::finish(double& encodeSeconds) {
    push(QueueItem{{}, {}, true});
    if (thread_.joinable())
        thread_.join();
    encodeSeconds = encodeSeconds_;
    std::lock_guard lock(mutex_);
    return error_;
}

std::string OutputWriter::error() {
    std::lock_guard lock(mutex_);
    return error_;
}

void OutputWriter::stop() {
    {
        std::lock_guard lock(mutex_);
        if (error_.empty())
            error_ = "stopped";
        queue_.clear();
        ready_.notify_one();
        space_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
    avcodec_free_context(&encoder_);
    if (output_) {
        if (output_->pb)
            avio_closep(&output_->pb);
        avformat_free_context(output_);
        output_ = nullptr;
    }
}

void OutputWriter::fail(std::string message) {
    std::lock_guard lock(mutex_);
    if (error_.empty())
        error_ = std::move(message);
    space_.notify_all();
}

void OutputWriter::run() {
    PacketPtr packet(av_packet_alloc());
    for (;;) {
        QueueItem item;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return !queue_.empty() || !error_.empty(); });
            if (!error_.empty())
                return;
            item = std::move(queue_.front());
            queue_.pop_front();
            space_.notify_one();
        }
        const auto start = Clock::now();
        std::string failure;
        if (item.packet) {
            item.packet->stream_index = audioOut_->index;
            av_packet_rescale_ts(item.packet.get(), audioIn_, audioOut_->time_base);
            if (const int rc = av_interleaved_write_frame(output_, item.packet.get()); rc < 0)
                failure = avError("cannot write the audio", rc);
        } else {
            failure = encode(item.frame.get(), packet.get());
            if (failure.empty() && item.end)
                failure = close();
        }
        encodeSeconds_ += secondsSince(start);
        if (!failure.empty())
            return fail(failure);
        if (item.end)
            return;
    }
}

std::string OutputWriter::encode(AVFrame* frame, AVPacket* packet) {
    int rc = avcodec_send_frame(encoder_, frame);
    if (rc < 0)
        return avError("encoding failed", rc);
    for (;;) {
        rc = avcodec_receive_packet(encoder_, packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return {};
        if (rc < 0)
            return avError("encoding failed", rc);
        if (const auto it = durations_.find(packet->pts); it != durations_.end())
            packet->duration = it->second;
        packet->stream_index = videoOut_->index;
        av_packet_rescale_ts(packet, encoder_->time_base, videoOut_->time_base);
        if ((rc = av_interleaved_write_frame(output_, packet)) < 0)
            return avError("cannot write the video", rc);
    }
}

std::string OutputWriter::close() {
    int rc = av_write_trailer(output_);
    if (rc < 0)
        return avError("cannot finish the output", rc);
    if ((rc = avio_closep(&output_->pb)) < 0)
        return avError("cannot close the output", rc);
    return {};
}

} // namespace render
