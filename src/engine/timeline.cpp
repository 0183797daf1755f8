#include "engine/timeline.h"

#include <cmath>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

namespace engine {

namespace {
constexpr AVRational Microseconds{1, 1000000};
// Where a stream goes on after a jump: one short frame after its last timestamp.
constexpr std::int64_t StepAfterJumpUs = 40'000;
} // namespace

Timeline::Timeline(std::int64_t originUs)
    : m_shiftUs(-originUs)
{}

void Timeline::place(AVPacket &packet, AVRational timeBase)
{
    // In doubles: a damaged timestamp may be anything.
    if (packet.pts != AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE
        && std::abs(static_cast<double>(packet.pts) - static_cast<double>(packet.dts))
                           * av_q2d(timeBase)
                   > MaxReorderUs / 1e6) {
        packet.pts = AV_NOPTS_VALUE;
        ++m_damaged;
    }
    const std::int64_t raw = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
    if (raw == AV_NOPTS_VALUE)
        return;
    std::int64_t placedUs = av_rescale_q(raw, timeBase, Microseconds) + m_shiftUs;
    const auto last = m_lastUs.find(packet.stream_index);
    if (last != m_lastUs.end()) {
        const std::int64_t step = placedUs - last->second;
        if (step < -MaxBackwardUs || step > MaxForwardUs) {
            m_shiftUs += last->second + StepAfterJumpUs - placedUs;
            placedUs = last->second + StepAfterJumpUs;
        }
    }
    m_lastUs[packet.stream_index] = placedUs;
    const std::int64_t shift = av_rescale_q(m_shiftUs, Microseconds, timeBase);
    if (packet.pts != AV_NOPTS_VALUE)
        packet.pts += shift;
    if (packet.dts != AV_NOPTS_VALUE)
        packet.dts += shift;
}

} // namespace engine
