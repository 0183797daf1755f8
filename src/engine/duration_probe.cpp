#include "engine/duration_probe.h"

#include "engine/media_input.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace engine {

namespace {

constexpr AVRational Microseconds{1, 1000000};
// Points between the first packet and the end of the file where a timestamp is read.
constexpr int InnerSamples = 16;
// How many packets after a point a timestamp of the measured stream is looked for.
constexpr int PacketsPerSample = 2000;
// The last timestamp is looked for in this much of the file's end.
constexpr std::int64_t TailBytes = 1 << 20;
// A step forward in time is a jump rather than media when it is this many times longer than
// its bytes last at the file's usual rate, plus a second.
constexpr double JumpFactor = 8;
constexpr double JumpSlackUs = 1e6;

// A timestamp of the measured stream and where in the file it lies.
struct Sample
{
    std::int64_t pos = 0;
    std::int64_t us = 0;
};

bool isProgramStream(const AVFormatContext &format)
{
    const char *name = format.iformat ? format.iformat->name : "";
    return std::strcmp(name, "mpeg") == 0 || std::strcmp(name, "mpegts") == 0;
}

class TimestampSampler
{
public:
    TimestampSampler(AVFormatContext &format, const AVStream &stream)
        : m_format(format)
        , m_stream(stream)
    {}

    // The first timestamp at or after the byte position.
    std::optional<Sample> at(std::int64_t pos)
    {
        if (!seek(pos))
            return std::nullopt;
        for (int i = 0; i < PacketsPerSample && av_read_frame(&m_format, m_packet.get()) >= 0;
             ++i) {
            const std::optional<Sample> found = sampleOf(*m_packet, pos);
            av_packet_unref(m_packet.get());
            if (found)
                return found;
        }
        return std::nullopt;
    }

    // Where the last packet with a timestamp ends, reading from the byte position on.
    std::optional<std::int64_t> endUs(std::int64_t from)
    {
        if (!seek(from))
            return std::nullopt;
        std::optional<std::int64_t> end;
        while (av_read_frame(&m_format, m_packet.get()) >= 0) {
            if (const std::optional<Sample> found = sampleOf(*m_packet, from))
                end = found->us
                      + av_rescale_q(m_packet->duration, m_stream.time_base, Microseconds);
            av_packet_unref(m_packet.get());
        }
        return end;
    }

private:
    bool seek(std::int64_t pos)
    {
        return avformat_seek_file(&m_format, -1, INT64_MIN, pos, INT64_MAX, AVSEEK_FLAG_BYTE) >= 0;
    }

    // Pictures come out of order by their presentation times, so theirs are decoding times.
    std::optional<Sample> sampleOf(const AVPacket &packet, std::int64_t seekedTo) const
    {
        if (packet.stream_index != m_stream.index)
            return std::nullopt;
        const bool video = m_stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
        const std::int64_t ts = video && packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
        if (ts == AV_NOPTS_VALUE)
            return std::nullopt;
        return Sample{packet.pos >= 0 ? packet.pos : seekedTo,
                      av_rescale_q(ts, m_stream.time_base, Microseconds)};
    }

    AVFormatContext &m_format;
    const AVStream &m_stream;
    PacketPtr m_packet = newPacket();
};

// Adds up the steps between the samples: a step that goes forward at a believable rate counts
// by its timestamps; any other (a restart, a jump), and the bytes after the last sample
// (unmeasured), by its bytes at the rate of the first kind. 0 when no step can be believed.
std::int64_t addUp(const std::vector<Sample> &samples, std::int64_t unmeasured)
{
    std::vector<double> rates; // bytes per microsecond
    for (size_t i = 1; i < samples.size(); ++i) {
        const std::int64_t us = samples[i].us - samples[i - 1].us;
        if (us > 0)
            rates.push_back(static_cast<double>(samples[i].pos - samples[i - 1].pos) / us);
    }
    if (rates.empty())
        return 0;
    std::nth_element(rates.begin(), rates.begin() + rates.size() / 2, rates.end());
    const double usualRate = rates[rates.size() / 2];
    double timedUs = 0;
    double timedBytes = 0;
    auto untimedBytes = static_cast<double>(unmeasured);
    for (size_t i = 1; i < samples.size(); ++i) {
        const auto bytes = static_cast<double>(samples[i].pos - samples[i - 1].pos);
        const auto us = static_cast<double>(samples[i].us - samples[i - 1].us);
        if (us > 0 && us <= JumpFactor * bytes / usualRate + JumpSlackUs) {
            timedUs += us;
            timedBytes += bytes;
        } else {
            untimedBytes += bytes;
        }
    }
    if (timedBytes <= 0)
        return 0;
    return static_cast<std::int64_t>(timedUs + untimedBytes * timedUs / timedBytes);
}

// Timestamps read at points spread over the file, from its first packet to its end.
std::int64_t fromTimestamps(MediaInput &input)
{
    AVFormatContext &format = *input.format();
    const AVStream *stream = input.audioStream() ? input.audioStream() : input.videoStream();
    const std::int64_t size = format.pb ? avio_size(format.pb) : -1;
    if (!stream || size <= 0 || !(format.pb->seekable & AVIO_SEEKABLE_NORMAL))
        return 0;
    TimestampSampler sampler(format, *stream);
    const std::optional<Sample> first = sampler.at(0);
    if (!first)
        return 0;
    std::vector<Sample> samples{*first};
    for (int k = 1; k <= InnerSamples; ++k) {
        const std::int64_t pos = first->pos + (size - first->pos) * k / (InnerSamples + 1);
        const std::optional<Sample> sample = sampler.at(pos);
        if (sample && sample->pos > samples.back().pos)
            samples.push_back(*sample);
    }
    const std::int64_t last = samples.back().pos;
    const std::optional<std::int64_t> end = sampler.endUs(std::max(last, size - TailBytes));
    if (end)
        samples.push_back({size, *end});
    return addUp(samples, end ? 0 : size - last);
}

// The chosen streams' nominal bit rates over the size of the media data (from the first
// packet on, so a Video CD lead-in does not count); nothing unless every stream has one.
std::int64_t fromBitRates(MediaInput &input)
{
    std::int64_t bitRate = 0;
    for (const AVStream *stream : {input.videoStream(), input.audioStream()}) {
        if (stream && stream->codecpar->bit_rate <= 0)
            return 0;
        if (stream)
            bitRate += stream->codecpar->bit_rate;
    }
    AVFormatContext &format = *input.format();
    const std::int64_t size = format.pb ? avio_size(format.pb) : -1;
    PacketPtr first = newPacket();
    if (bitRate <= 0 || size <= 0 || !input.readPacket(first.get()))
        return 0;
    const std::int64_t media = size - std::max<std::int64_t>(first->pos, 0);
    return static_cast<std::int64_t>(static_cast<double>(media) * 8.0 * 1e6
                                     / static_cast<double>(bitRate));
}

} // namespace

std::int64_t probeDurationUs(MediaInput &input)
{
    const AVFormatContext &format = *input.format();
    if (isProgramStream(format)) {
        if (const std::int64_t measured = fromTimestamps(input); measured > 0)
            return measured;
    }
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0)
        return format.duration;
    return fromBitRates(input);
}

} // namespace engine
