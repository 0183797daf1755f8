#pragma once

#include "engine/av_owners.h"
#include "engine/engine_job.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>

namespace engine {

class OutputSink;

// The ASF container over the output sink. Both encoder stages hand it their packets from
// their own threads; it interleaves them, keeps the statistics and reports progress.
class Muxer
{
public:
    // pass: the number the progress reports carry.
    Muxer(OutputSink &sink, EncodeObserver &observer, int pass);

    static bool wantsGlobalHeaders();
    // Adds the stream of an opened encoder; returns its index. Before start().
    int addStream(const AVCodecContext &encoder);
    void start();
    // Takes the packet (in its encoder's time base) for the stream. Thread-safe.
    void write(AVPacket &packet, int stream, AVRational encoderTimeBase);
    // Writes the trailer; the file then plays to its end.
    void finish();

private:
    void account(const AVPacket &packet, int stream, AVRational timeBase);

    OutputSink &m_sink;
    EncodeObserver &m_observer;
    OutputContextPtr m_format;
    std::mutex m_mutex;
    Progress m_progress;
    std::int64_t m_payloadBytes = 0;
    std::deque<std::pair<std::int64_t, std::int64_t>> m_recent; // media ms, payload bytes
    int m_videoStream = -1;
};

} // namespace engine
