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

    // Rewrites the packet's pts and dts (in the stream's time base) onto the timeline. A pts
    // further from its dts than pictures are ever reordered is damaged: it is dropped, so
    // the decoder goes by the dts.
    void place(AVPacket &packet, AVRational timeBase);

    // How many damaged timestamps were dropped.
    int damagedTimestamps() const { return m_damaged; }

    // Larger steps than these, within one stream, are jumps rather than media.
    static constexpr std::int64_t MaxBackwardUs = 1'000'000;
    static constexpr std::int64_t MaxForwardUs = 10'000'000;
    // MPEG pictures are presented at most a few frames after they are decoded.
    static constexpr std::int64_t MaxReorderUs = 2'000'000;

private:
    std::int64_t m_shiftUs;
    std::map<int, std::int64_t> m_lastUs; // per stream: the last placed timestamp
    int m_damaged = 0;
};

} // namespace engine
