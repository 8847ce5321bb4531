// Decoding and the overlay share the calling thread; encoding and writing run on a thread of
// their own (OutputWriter) behind a short queue, so that on two cores neither waits for the
// other.
#include "ClipRender.h"

#include "AvSupport.h"
#include "OutputWriter.h"
#include "YuvBlend.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

namespace render {
namespace {

constexpr int kRgbaBytes = 4;
// A frame starting this close to a range's edge counts as on it.
constexpr double kEdgeSeconds = 1e-6;

constexpr const char* kNoVideo = "no video stream";
constexpr const char* kNoFrames = "the range holds no frame";
constexpr const char* kUnsupportedPicture = "picture format not supported (4:2:0 expected)";

struct FormatInput {
    AVFormatContext* context = nullptr;
    ~FormatInput() { avformat_close_input(&context); }
};

struct CodecContext {
    AVCodecContext* context = nullptr;
    ~CodecContext() { avcodec_free_context(&context); }
};

std::string openInput(const std::string& path, FormatInput& input) {
    int rc = avformat_open_input(&input.context, path.c_str(), nullptr, nullptr);
    if (rc < 0)
        return avError("cannot open the clip", rc);
    if ((rc = avformat_find_stream_info(input.context, nullptr)) < 0)
        return avError("cannot read the clip's streams", rc);
    return {};
}

// Every video frame's start, from one pass over the packets: in decoding order (the order of
// the telemetry rows) and in presentation order.
struct Timeline {
    std::vector<std::int64_t> decodeOrder;
    std::vector<std::int64_t> shown;
    std::unordered_map<std::int64_t, std::size_t> decodeIndex;
    std::int64_t lastDuration = 0;
};

std::string readTimeline(AVFormatContext* input, int video, Timeline& timeline) {
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        return kOutOfMemory;
    while (av_read_frame(input, packet.get()) >= 0) {
        if (packet->stream_index == video) {
            const std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            timeline.decodeIndex.emplace(pts, timeline.decodeOrder.size());
            timeline.decodeOrder.push_back(pts);
            timeline.lastDuration = packet->duration;
        }
        av_packet_unref(packet.get());
    }
    timeline.shown = timeline.decodeOrder;
    std::sort(timeline.shown.begin(), timeline.shown.end());
    return {};
}

YuvMatrix matrixOf(const AVFrame* frame) {
    return frame->colorspace == AVCOL_SPC_BT709 ? YuvMatrix::Bt709 : YuvMatrix::Bt601;
}

bool isFullRange(const AVFrame* frame) {
    return frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P;
}

// Straight (not premultiplied) RGBA, as PNG and the scaler take it.
void copyStraight(const QImage& region, QPoint at, AVFrame* frame) {
    const QImage straight = region.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < straight.height(); ++y)
        std::memcpy(frame->data[0] + static_cast<std::ptrdiff_t>(at.y() + y) * frame->linesize[0] +
                        static_cast<std::ptrdiff_t>(at.x()) * kRgbaBytes,
                    straight.constScanLine(y),
                    static_cast<std::size_t>(straight.width()) * kRgbaBytes);
}

class Job {
public:
    Job(const RenderRequest& request, const OverlaySource& source, const std::atomic<bool>& cancel,
        const std::function<void(const RenderProgress&)>& progress)
        : request_(request), source_(source), cancel_(cancel), progress_(progress) {}

    RenderOutcome run() {
        outcome_.error = prepare();
        if (outcome_.error.empty())
            outcome_.error = request_.kind == OutputKind::Burned ? burn() : overlayOnly();
        if (outcome_.error.empty() && !outcome_.cancelled)
            outcome_.error = writer_.finish(outcome_.stages.encode);
        else
            writer_.stop();
        return outcome_;
    }

private:
    std::string prepare() {
        if (std::string error = openInput(request_.clipPath, input_); !error.empty())
            return error;
        const AVCodec* decoder = nullptr;
        video_ = av_find_best_stream(input_.context, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (video_ < 0 || !decoder)
            return kNoVideo;
        AVStream* stream = input_.context->streams[video_];
        timeBase_ = stream->time_base;
        const int audio =
            av_find_best_stream(input_.context, AVMEDIA_TYPE_AUDIO, -1, video_, nullptr, 0);
        const bool burned = request_.kind == OutputKind::Burned;
        audio_ = burned && audio >= 0 ? audio : -1;
        if (std::string error = readTimeline(input_.context, video_, timeline_); !error.empty())
            return error;
        if (timeline_.shown.empty())
            return kNoFrames;
        const double frameSeconds =
            av_q2d(av_inv_q(av_guess_frame_rate(input_.context, stream, nullptr)));
        pickRange();
        if (first_ >= end_)
            return kNoFrames;

        // Start again from the beginning of the range's group of pictures.
        const std::int64_t seekTo = timeline_.shown[first_];
        int rc = av_seek_frame(input_.context, video_, seekTo, AVSEEK_FLAG_BACKWARD);
        if (rc < 0)
            return avError("cannot seek in the clip", rc);

        decoder_.context = avcodec_alloc_context3(decoder);
        if (!decoder_.context)
            return kOutOfMemory;
        avcodec_parameters_to_context(decoder_.context, stream->codecpar);
        decoder_.context->thread_count = 0;
        decoder_.context->pkt_timebase = timeBase_;
        if (burned && (rc = avcodec_open2(decoder_.context, decoder, nullptr)) < 0)
            return avError("cannot open the decoder", rc);
        const AVPixelFormat format = decoder_.context->pix_fmt;
        if (burned && format != AV_PIX_FMT_YUV420P && format != AV_PIX_FMT_YUVJ420P)
            return kUnsupportedPicture;

        const QSize size(stream->codecpar->width, stream->codecpar->height);
        data_.emplace(source_.csv, source_.duration, source_.clipFileName, source_.milesPerHour,
                      frameSeconds);
        painter_.emplace(size, data_->route(), source_.tiles);

        std::unordered_map<std::int64_t, std::int64_t> durations;
        for (std::size_t i = first_; i < end_; ++i) {
            const std::int64_t next = i + 1 < timeline_.shown.size()
                                          ? timeline_.shown[i + 1]
                                          : timeline_.shown[i] + timeline_.lastDuration;
            durations.emplace(timeline_.shown[i] - startPts(), next - timeline_.shown[i]);
        }
        writer_.setDurations(std::move(durations));
        const AVStream* audioStream = audio_ >= 0 ? input_.context->streams[audio_] : nullptr;
        return writer_.open(request_, decoder_.context, stream, audioStream,
                            av_guess_frame_rate(input_.context, stream, nullptr), size.width(),
                            size.height());
    }

    std::int64_t startPts() const { return timeline_.shown[first_]; }
    std::int64_t endPts() const {
        return end_ < timeline_.shown.size() ? timeline_.shown[end_]
                                             : std::numeric_limits<std::int64_t>::max();
    }

    double secondsOf(std::int64_t pts) const {
        return static_cast<double>(pts - timeline_.shown.front()) * av_q2d(timeBase_);
    }

    void pickRange() {
        const auto& shown = timeline_.shown;
        const auto at = [&](std::optional<double> time, std::size_t otherwise) {
            if (!time)
                return otherwise;
            std::size_t i = 0;
            while (i < shown.size() && secondsOf(shown[i]) < *time - kEdgeSeconds)
                ++i;
            return i;
        };
        first_ = at(request_.from, 0);
        end_ = at(request_.to, shown.size());
    }

    qsizetype rowOf(std::int64_t pts) const {
        if (data_->rowCount() == static_cast<qsizetype>(timeline_.decodeOrder.size()))
            return static_cast<qsizetype>(timeline_.decodeIndex.at(pts));
        return data_->rowAtTime(secondsOf(pts));
    }

    void report() {
        ++outcome_.frames;
        if (progress_)
            progress_({outcome_.frames, static_cast<long long>(end_ - first_)});
    }

    // Draws the overlay of the frame at `pts` region by region; calls `place` for each region
    // that shows something, or for every region with `everyRegion`.
    template <typename Place>
    void drawOverlay(std::int64_t pts, Place place, bool everyRegion = false) {
        const FrameReadout readout = data_->readout(rowOf(pts));
        for (std::size_t i = 0; i < kRegionCount; ++i) {
            const auto which = static_cast<Region>(i);
            if (painter_->paint(which, readout, regionImages_[i]) || everyRegion)
                place(regionImages_[i], painter_->region(which).topLeft());
        }
    }

    std::string burn() {
        PacketPtr packet(av_packet_alloc());
        FramePtr frame(av_frame_alloc());
        if (!packet || !frame)
            return kOutOfMemory;
        const long long wanted = static_cast<long long>(end_ - first_);
        const std::int64_t audioStart =
            audio_ >= 0
                ? av_rescale_q(startPts(), timeBase_, input_.context->streams[audio_]->time_base)
                : 0;
        const std::int64_t audioEnd =
            audio_ >= 0 && end_ < timeline_.shown.size()
                ? av_rescale_q(endPts(), timeBase_, input_.context->streams[audio_]->time_base)
                : std::numeric_limits<std::int64_t>::max();
        bool videoDone = false, audioDone = audio_ < 0, inputDone = false;
        while (!(videoDone && audioDone)) {
            if (cancel_) {
                outcome_.cancelled = true;
                return {};
            }
            auto start = Clock::now();
            const int rc = inputDone ? AVERROR_EOF : av_read_frame(input_.context, packet.get());
            if (rc < 0) {
                if (inputDone)
                    break;
                inputDone = audioDone = true;
                avcodec_send_packet(decoder_.context, nullptr);
            } else if (packet->stream_index == audio_) {
                const std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
                audioDone = pts >= audioEnd;
                if (pts >= audioStart && pts < audioEnd) {
                    PacketPtr copy(av_packet_clone(packet.get()));
                    if (!copy)
                        return kOutOfMemory;
                    copy->pts -= audioStart;
                    copy->dts -= audioStart;
                    outcome_.stages.decode += secondsSince(start);
                    if (!writer_.push(QueueItem{{}, std::move(copy), false}))
                        return writer_.error();
                    start = Clock::now();
                }
                av_packet_unref(packet.get());
                outcome_.stages.decode += secondsSince(start);
                continue;
            } else if (packet->stream_index != video_ || videoDone) {
                av_packet_unref(packet.get());
                continue;
            } else {
                const int sent = avcodec_send_packet(decoder_.context, packet.get());
                av_packet_unref(packet.get());
                if (sent < 0 && sent != AVERROR_INVALIDDATA)
                    return avError("decoding failed", sent);
            }
            for (;;) {
                const int got = avcodec_receive_frame(decoder_.context, frame.get());
                outcome_.stages.decode += secondsSince(start);
                if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                    break;
                if (got < 0)
                    return avError("decoding failed", got);
                const std::int64_t pts = frame->best_effort_timestamp;
                if (pts >= startPts() && pts < endPts() && !videoDone) {
                    if (std::string error = overlayAndQueue(std::move(frame)); !error.empty())
                        return error;
                    frame.reset(av_frame_alloc());
                    if (!frame)
                        return kOutOfMemory;
                    videoDone = outcome_.frames >= wanted;
                } else {
                    av_frame_unref(frame.get());
                }
                start = Clock::now();
            }
            if (inputDone)
                break;
        }
        return {};
    }

    std::string overlayAndQueue(FramePtr frame) {
        const double start = threadSeconds();
        if (const int rc = av_frame_make_writable(frame.get()); rc < 0)
            return avError("cannot draw on the picture", rc);
        const std::int64_t pts = frame->best_effort_timestamp;
        YuvPicture picture;
        for (int i = 0; i < 3; ++i) {
            picture.planes[i] = frame->data[i];
            picture.strides[i] = frame->linesize[i];
        }
        picture.width = frame->width;
        picture.height = frame->height;
        picture.matrix = matrixOf(frame.get());
        picture.fullRange = isFullRange(frame.get());
        drawOverlay(pts, [&](const QImage& image, QPoint at) { blendInto(picture, image, at); });
        frame->pts = pts - startPts();
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        outcome_.stages.overlay += threadSeconds() - start;
        if (!writer_.push(QueueItem{std::move(frame), {}, false}))
            return writer_.error();
        report();
        return {};
    }

    std::string overlayOnly() {
        const AVStream* stream = input_.context->streams[video_];
        const int width = stream->codecpar->width, height = stream->codecpar->height;
        const bool proRes = request_.kind == OutputKind::OverlayProRes;
        SwsContext* scaler = nullptr;
        if (proRes && !(scaler = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height,
                                                AV_PIX_FMT_YUVA444P10LE, SWS_POINT, nullptr,
                                                nullptr, nullptr)))
            return kOutOfMemory;
        std::unique_ptr<SwsContext, void (*)(SwsContext*)> scalerOwner(scaler, sws_freeContext);
        // Canvases come back from the encoder transparent but for the regions, which every frame
        // redraws whole: only a new one is cleared, once.
        std::unique_ptr<AVBufferPool, void (*)(AVBufferPool*)> canvases(
            av_buffer_pool_init(static_cast<std::size_t>(width) * height * kRgbaBytes,
                                av_buffer_allocz),
            [](AVBufferPool* pool) { av_buffer_pool_uninit(&pool); });
        if (!canvases)
            return kOutOfMemory;
        for (std::size_t i = first_; i < end_; ++i) {
            if (cancel_) {
                outcome_.cancelled = true;
                return {};
            }
            const double start = threadSeconds();
            FramePtr canvas(av_frame_alloc());
            if (!canvas || !(canvas->buf[0] = av_buffer_pool_get(canvases.get())))
                return kOutOfMemory;
            canvas->format = AV_PIX_FMT_RGBA;
            canvas->width = width;
            canvas->height = height;
            canvas->data[0] = canvas->buf[0]->data;
            canvas->linesize[0] = width * kRgbaBytes;
            const std::int64_t pts = timeline_.shown[i];
            drawOverlay(
                pts, [&](const QImage& image, QPoint at) { copyStraight(image, at, canvas.get()); },
                true);
            FramePtr frame = std::move(canvas);
            if (proRes) {
                FramePtr converted(av_frame_alloc());
                if (!converted)
                    return kOutOfMemory;
                converted->format = AV_PIX_FMT_YUVA444P10LE;
                converted->width = width;
                converted->height = height;
                if (const int rc = av_frame_get_buffer(converted.get(), 0); rc < 0)
                    return avError("cannot allocate a picture", rc);
                sws_scale(scaler, frame->data, frame->linesize, 0, height, converted->data,
                          converted->linesize);
                frame = std::move(converted);
            }
            frame->pts = pts - startPts();
            outcome_.stages.overlay += threadSeconds() - start;
            if (!writer_.push(QueueItem{std::move(frame), {}, false}))
                return writer_.error();
            report();
        }
        return {};
    }

    const RenderRequest& request_;
    const OverlaySource& source_;
    const std::atomic<bool>& cancel_;
    const std::function<void(const RenderProgress&)>& progress_;
    FormatInput input_;
    CodecContext decoder_;
    int video_ = -1;
    int audio_ = -1;
    AVRational timeBase_{1, 1};
    Timeline timeline_;
    std::size_t first_ = 0, end_ = 0;
    std::optional<OverlayData> data_;
    std::optional<OverlayPainter> painter_;
    std::array<QImage, kRegionCount> regionImages_;
    OutputWriter writer_;
    RenderOutcome outcome_;
};

} // namespace

RenderOutcome renderClip(const RenderRequest& request, const OverlaySource& overlay,
                         const std::atomic<bool>& cancel,
                         const std::function<void(const RenderProgress&)>& progress) {
    // The libraries' own notes would break into the progress line.
    av_log_set_level(AV_LOG_ERROR);
    return Job(request, overlay, cancel, progress).run();
}

} // namespace render
