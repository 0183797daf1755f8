#include "engine/held_media.h"

extern "C" {
#include <libavutil/rational.h>
}

#include <algorithm>

namespace engine {

namespace {
// A container's own packet lengths are believed up to this (sound packets of a few seconds
// occur; longer ones are damage).
constexpr double MaxSoundPacketSeconds = 10.0;
constexpr double FallbackFrameRate = 25.0;
} // namespace

void HeldMedia::addPicture(const AVFrame &picture, AVRational frameRate)
{
    const double rate
            = frameRate.num > 0 && frameRate.den > 0 ? av_q2d(frameRate) : FallbackFrameRate;
    // repeat_pict counts extra fields: 1 for a repeated field, 2 or 4 for a doubled or
    // tripled frame.
    const int repeats = std::clamp(picture.repeat_pict, 0, 4);
    m_pictureSeconds += (1.0 + repeats / 2.0) / rate;
}

void HeldMedia::addSound(const AVPacket &packet, AVRational timeBase)
{
    if (packet.duration <= 0)
        return;
    const double seconds = static_cast<double>(packet.duration) * av_q2d(timeBase);
    m_soundSeconds += std::min(seconds, MaxSoundPacketSeconds);
}

double HeldMedia::latestSeconds() const
{
    return std::max(m_pictureSeconds, m_soundSeconds) + MarginSeconds;
}

} // namespace engine
