// The encoder's packets come as Annex B byte streams; they are split into NAL units, the
// encoder's own SEI (its version banner, itself user data) is dropped so that the telemetry
// units are the only ones of that type, and the MP4 muxer writes them length-prefixed.
#include "ClipWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>

namespace clipgen {
namespace {

constexpr int kNalTypeMask = 0x1F;
constexpr int kNalTypeSei = 6;
constexpr int kFirstSliceType = 1, kLastSliceType = 5;
constexpr const char* kPreset = "ultrafast";
constexpr int kFastGroupFrames = 12;
constexpr double kKeyframeIntervalSeconds = 2.0;
constexpr double kBarSecondsPerSweep = 3.0;
constexpr int kNoiseAmplitude = 8;
constexpr int kFpsPrecision = 1001000;
constexpr const std::uint8_t kStartCode[] = {0, 0, 0, 1};

std::vector<NalUnit> splitAnnexB(const std::uint8_t* data, std::size_t size) {
    std::vector<NalUnit> units;
    std::size_t i = 0, start = std::string::npos;
    auto close = [&](std::size_t end) {
        while (end > start && data[end - 1] == 0)
            --end;
        if (start != std::string::npos && end > start)
            units.emplace_back(data + start, data + end);
    };
    while (i + 3 <= size) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            close(i);
            i += 3;
            start = i;
        } else {
            ++i;
        }
    }
    if (start != std::string::npos)
        close(size);
    return units;
}

bool isSlice(const NalUnit& unit) {
    const int type = unit[0] & kNalTypeMask;
    return type >= kFirstSliceType && type <= kLastSliceType;
}

} // namespace

ClipWriter::ClipWriter(VideoSettings settings)
    : settings_(settings), noiseState_(settings.seed * 0x9E3779B97F4A7C15ull | 1) {}

ClipWriter::~ClipWriter() {
    avcodec_free_context(&codec_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    if (format_) {
        if (format_->pb)
            avio_closep(&format_->pb);
        avformat_free_context(format_);
    }
}

bool ClipWriter::fail(const std::string& what, int code) {
    error_ = what;
    if (code < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(code, text, sizeof text);
        error_ += std::string(": ") + text;
    }
    return false;
}

bool ClipWriter::open(const std::string& path) {
    int rc = avformat_alloc_output_context2(&format_, nullptr, "mp4", path.c_str());
    if (rc < 0)
        return fail("cannot set up the MP4 muxer", rc);
    const AVCodec* encoder = avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        return fail("libx264 encoder not available");
    codec_ = avcodec_alloc_context3(encoder);
    stream_ = avformat_new_stream(format_, nullptr);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!codec_ || !stream_ || !frame_ || !packet_)
        return fail("out of memory");

    const AVRational rate = av_d2q(settings_.fps, kFpsPrecision);
    codec_->width = settings_.width;
    codec_->height = settings_.height;
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->framerate = rate;
    codec_->time_base = av_inv_q(rate);
    codec_->gop_size =
        settings_.fast
            ? kFastGroupFrames
            : std::max(1, static_cast<int>(std::lround(settings_.fps * kKeyframeIntervalSeconds)));
    codec_->max_b_frames = 0;
    if (settings_.bitrateKbps > 0) {
        codec_->bit_rate = settings_.bitrateKbps * 1000;
        codec_->rc_max_rate = codec_->bit_rate;
        codec_->rc_buffer_size = static_cast<int>(codec_->bit_rate);
    }
    if (format_->oformat->flags & AVFMT_GLOBALHEADER)
        codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(codec_->priv_data, "preset", kPreset, 0);
    if (settings_.fast)
        av_opt_set(codec_->priv_data, "x264-params", "open-gop=0:scenecut=0", 0);
    if ((rc = avcodec_open2(codec_, encoder, nullptr)) < 0)
        return fail("cannot open the H.264 encoder", rc);
    if ((rc = avcodec_parameters_from_context(stream_->codecpar, codec_)) < 0)
        return fail("cannot describe the video stream", rc);
    stream_->time_base = codec_->time_base;
    stream_->avg_frame_rate = rate;

    frame_->format = codec_->pix_fmt;
    frame_->width = codec_->width;
    frame_->height = codec_->height;
    if ((rc = av_frame_get_buffer(frame_, 0)) < 0)
        return fail("cannot allocate a picture", rc);

    if ((rc = avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0)
        return fail("cannot create " + path, rc);
    AVDictionary* options = nullptr;
    if (settings_.faststart)
        av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(format_, &options);
    av_dict_free(&options);
    if (rc < 0)
        return fail("cannot write the MP4 header", rc);
    return true;
}

void ClipWriter::drawPicture(std::int64_t frameIndex) {
    const int width = settings_.width, height = settings_.height;
    const double sweepFrames = settings_.fps * kBarSecondsPerSweep;
    const int barX = static_cast<int>(std::fmod(static_cast<double>(frameIndex), sweepFrames) /
                                      sweepFrames * width);
    const int barWidth = std::max(4, width / 16);
    const int shift = static_cast<int>(frameIndex * 2);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = frame_->data[0] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[0];
        for (int x = 0; x < width; ++x) {
            noiseState_ ^= noiseState_ << 13;
            noiseState_ ^= noiseState_ >> 7;
            noiseState_ ^= noiseState_ << 17;
            int value = 40 + (x + y + shift) % 160 +
                        static_cast<int>(noiseState_ % kNoiseAmplitude) - kNoiseAmplitude / 2;
            if (x >= barX && x < barX + barWidth)
                value = 235;
            row[x] = static_cast<std::uint8_t>(std::clamp(value, 16, 235));
        }
    }
    if (settings_.frameNumbers)
        drawFrameNumber(frameIndex);
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* u = frame_->data[1] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[1];
        std::uint8_t* v = frame_->data[2] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[2];
        for (int x = 0; x < width / 2; ++x) {
            u[x] = static_cast<std::uint8_t>(64 + (x * 128) / std::max(1, width / 2));
            v[x] = static_cast<std::uint8_t>(64 + (y * 128) / std::max(1, height / 2));
        }
    }
}

void ClipWriter::drawFrameNumber(std::int64_t frameIndex) {
    const int block = frameNumberBlockSize(settings_.width);
    const int left = (settings_.width - block * kFrameNumberBits) / 2;
    const int top = (settings_.height - block) / 2;
    for (int bit = 0; bit < kFrameNumberBits; ++bit) {
        const auto value = static_cast<std::uint8_t>((frameIndex >> bit) & 1 ? kFrameNumberWhite
                                                                             : kFrameNumberBlack);
        for (int y = top; y < top + block; ++y)
            std::fill_n(frame_->data[0] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[0] +
                            left + bit * block,
                        block, value);
    }
}

bool ClipWriter::addFrame(std::int64_t frameIndex, std::vector<NalUnit> seiUnits) {
    if (encoderFlushed_) {
        const auto& encoded =
            repeatedFrames_[static_cast<std::size_t>(frameIndex) % repeatedFrames_.size()];
        pendingSei_[frameIndex] = std::move(seiUnits);
        return writeFrame(frameIndex, encoded);
    }
    int rc = av_frame_make_writable(frame_);
    if (rc < 0)
        return fail("cannot reuse the picture buffer", rc);
    drawPicture(frameIndex);
    frame_->pts = frameIndex;
    pendingSei_[frameIndex] = std::move(seiUnits);
    if (!encode(frame_))
        return false;
    if (settings_.fast && frameIndex + 1 == kFastGroupFrames)
        return encode(nullptr); // the group is complete: later frames reuse it
    return true;
}

bool ClipWriter::encode(AVFrame* frame) {
    encoderFlushed_ = frame == nullptr;
    int rc = avcodec_send_frame(codec_, frame);
    if (rc < 0)
        return fail("encoding failed", rc);
    for (;;) {
        rc = avcodec_receive_packet(codec_, packet_);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return fail("encoding failed", rc);
        EncodedFrame encoded;
        encoded.key = (packet_->flags & AV_PKT_FLAG_KEY) != 0;
        for (NalUnit& unit : splitAnnexB(packet_->data, static_cast<std::size_t>(packet_->size)))
            if ((unit[0] & kNalTypeMask) != kNalTypeSei)
                encoded.nalUnits.push_back(std::move(unit));
        const std::int64_t frameIndex = packet_->pts;
        av_packet_unref(packet_);
        if (settings_.fast)
            repeatedFrames_.push_back(encoded);
        if (!writeFrame(frameIndex, encoded))
            return false;
    }
}

bool ClipWriter::writeFrame(std::int64_t frameIndex, const EncodedFrame& encoded) {
    std::vector<NalUnit> sei;
    if (auto it = pendingSei_.find(frameIndex); it != pendingSei_.end()) {
        sei = std::move(it->second);
        pendingSei_.erase(it);
    }
    std::vector<std::uint8_t> data;
    bool seiPlaced = false;
    auto append = [&data](const NalUnit& unit) {
        data.insert(data.end(), std::begin(kStartCode), std::end(kStartCode));
        data.insert(data.end(), unit.begin(), unit.end());
    };
    for (const NalUnit& unit : encoded.nalUnits) {
        if (!seiPlaced && isSlice(unit)) {
            for (const NalUnit& s : sei)
                append(s);
            seiPlaced = true;
        }
        append(unit);
    }
    AVPacket* packet = av_packet_alloc();
    if (!packet || av_new_packet(packet, static_cast<int>(data.size())) < 0) {
        av_packet_free(&packet);
        return fail("out of memory");
    }
    std::copy(data.begin(), data.end(), packet->data);
    packet->pts = packet->dts = frameIndex;
    packet->duration = 1;
    packet->flags = encoded.key ? AV_PKT_FLAG_KEY : 0;
    packet->stream_index = stream_->index;
    av_packet_rescale_ts(packet, codec_->time_base, stream_->time_base);
    const int rc = av_write_frame(format_, packet);
    av_packet_free(&packet);
    return rc < 0 ? fail("cannot write a frame", rc) : true;
}

bool ClipWriter::finish() {
    if (!encoderFlushed_ && !encode(nullptr))
        return false;
    int rc = av_write_trailer(format_);
    if (rc < 0)
        return fail("cannot finish the MP4 file", rc);
    if ((rc = avio_closep(&format_->pb)) < 0)
        return fail("cannot close the MP4 file", rc);
    return true;
}

} // namespace clipgen
