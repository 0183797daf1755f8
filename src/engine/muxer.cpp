#include "engine/muxer.h"

#include "engine/engine_error.h"
#include "engine/output_sink.h"

namespace engine {

namespace {
constexpr AVRational Milliseconds{1, 1000};
// The current bit rate is measured over this much of the latest media.
constexpr std::int64_t BitRateWindowMs = 3000;

const AVOutputFormat *asfFormat()
{
    const AVOutputFormat *format = av_guess_format("asf", nullptr, nullptr);
    if (!format)
        throw EngineError(FailureSubject::Convert, "this system's FFmpeg cannot write ASF files");
    return format;
}
} // namespace

Muxer::Muxer(OutputSink &sink, EncodeObserver &observer, int pass)
    : m_sink(sink)
    , m_observer(observer)
{
    m_progress.pass = pass;
    AVFormatContext *raw = nullptr;
    check(avformat_alloc_output_context2(&raw, asfFormat(), nullptr, nullptr),
          FailureSubject::Convert);
    m_format.reset(raw);
    m_format->pb = sink.io();
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
}

bool Muxer::wantsGlobalHeaders()
{
    return (asfFormat()->flags & AVFMT_GLOBALHEADER) != 0;
}

int Muxer::addStream(const AVCodecContext &encoder)
{
    AVStream *stream = avformat_new_stream(m_format.get(), nullptr);
    if (!stream)
        throw std::bad_alloc();
    check(avcodec_parameters_from_context(stream->codecpar, &encoder), FailureSubject::Convert);
    stream->time_base = encoder.time_base;
    if (encoder.codec_type == AVMEDIA_TYPE_VIDEO) {
        stream->avg_frame_rate = encoder.framerate;
        stream->sample_aspect_ratio = encoder.sample_aspect_ratio;
        m_videoStream = stream->index;
    }
    return stream->index;
}

void Muxer::start()
{
    check(avformat_write_header(m_format.get(), nullptr), FailureSubject::WriteOutput);
}

void Muxer::write(AVPacket &packet, int stream, AVRational encoderTimeBase)
{
    const AVRational timeBase = m_format->streams[stream]->time_base;
    av_packet_rescale_ts(&packet, encoderTimeBase, timeBase);
    packet.stream_index = stream;
    std::lock_guard lock(m_mutex);
    account(packet, stream, timeBase);
    check(av_interleaved_write_frame(m_format.get(), &packet), FailureSubject::WriteOutput);
    m_progress.archiveBytes = m_sink.bytesWritten();
    m_observer.progress(m_progress);
}

void Muxer::account(const AVPacket &packet, int stream, AVRational timeBase)
{
    if (stream == m_videoStream)
        ++m_progress.frames;
    m_payloadBytes += packet.size;
    if (packet.pts == AV_NOPTS_VALUE)
        return;
    const std::int64_t endMs = av_rescale_q(packet.pts + packet.duration, timeBase, Milliseconds);
    m_progress.archiveMs = std::max(m_progress.archiveMs, endMs);
    m_recent.emplace_back(m_progress.archiveMs, m_payloadBytes);
    while (m_recent.size() > 2 && m_recent.front().first < m_progress.archiveMs - BitRateWindowMs)
        m_recent.pop_front();
    const std::int64_t spanMs = m_recent.back().first - m_recent.front().first;
    if (spanMs > 0)
        m_progress.bitRate = static_cast<std::int32_t>(
                (m_recent.back().second - m_recent.front().second) * 8 * 1000 / spanMs);
}

void Muxer::finish()
{
    std::lock_guard lock(m_mutex);
    // The whole file's size, trailer included: the sink counts up to the file's end, which
    // going back to rewrite the header does not move.
    check(av_write_trailer(m_format.get()), FailureSubject::WriteOutput);
    m_progress.archiveBytes = m_sink.bytesWritten();
    m_observer.progress(m_progress);
}

} // namespace engine
