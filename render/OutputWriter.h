// The output's encoder and muxer on a thread of their own: the video frames and the copied
// audio packets come through a short queue, in the order they are to be written.
#pragma once

#include "AvSupport.h"
#include "ClipRender.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

struct AVFormatContext;
struct AVStream;

namespace render {

// A frame or an audio packet on its way to the writer; `end` flushes the encoder and finishes
// the file.
struct QueueItem {
    FramePtr frame;
    PacketPtr packet;
    bool end = false;
};

class OutputWriter {
public:
    OutputWriter() = default;
    ~OutputWriter() { stop(); }
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    // Opens the output at the request's path with the encoder its kind asks for; the video in
    // the source's time base, `audio` (may be null) copied as it is. Empty on success.
    std::string open(const RenderRequest& request, const AVCodecContext* decoder,
                     const AVStream* source, const AVStream* audio, AVRational frameRate, int width,
                     int height);
    // Frame durations by output timestamp, for the packets' durations.
    void setDurations(std::unordered_map<std::int64_t, std::int64_t> durations);
    // Waits while the queue is full; false once writing failed (error() tells why).
    bool push(QueueItem item);
    // Flushes the encoder and finishes the file; `encodeSeconds` gets the encoding thread's
    // busy time.
    std::string finish(double& encodeSeconds);
    std::string error();
    // Ends the thread without finishing the file.
    void stop();

private:
    void fail(std::string message);
    void run();
    std::string encode(AVFrame* frame, AVPacket* packet);
    std::string close();

    AVFormatContext* output_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVStream* videoOut_ = nullptr;
    AVStream* audioOut_ = nullptr;
    AVRational audioIn_{1, 1};
    std::unordered_map<std::int64_t, std::int64_t> durations_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable ready_, space_;
    std::deque<QueueItem> queue_;
    std::string error_;
    double encodeSeconds_ = 0;
};

} // namespace render
