#pragma once

extern "C" {
#include <libavcodec/packet.h>
}

#include <cstdint>
#include <map>

namespace engine {

// Turns a file's packet timestamps into one steady timeline that starts at 0: Video CD
// streams start near 0.46 s, and some files restart their timestamps part-way. Across a jump
// one offset is carried for all streams, so sound and pictures stay together.
class Timeline
{
public:
    explicit Timeline(std::int64_t originUs);

    // Rewrites the packet's pts and dts (in the stream's time base) onto the timeline.
    void place(AVPacket &packet, AVRational timeBase);

    // Larger steps than these, within one stream, are jumps rather than media.
    static constexpr std::int64_t MaxBackwardUs = 1'000'000;
    static constexpr std::int64_t MaxForwardUs = 10'000'000;

private:
    std::int64_t m_shiftUs;
    std::map<int, std::int64_t> m_lastUs; // per stream: the last placed timestamp
};

} // namespace engine
