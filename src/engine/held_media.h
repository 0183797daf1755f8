#pragma once

extern "C" {
#include <libavcodec/packet.h>
#include <libavutil/frame.h>
}

namespace engine {

// How much media the input has delivered so far, whatever its timestamps say: the pictures
// decoded, each as long as its frame rate and repeat flags make it, and the sound read, by
// its packets' lengths. A frame whose timestamp lies further ahead than that (a damaged
// timestamp) is not believed, so a file makes no more media than it holds. Both passes of a
// two-pass encode read and decode alike, so both see the same bound.
class HeldMedia
{
public:
    // frameRate: the pictures' coded rate (a repeated field or frame makes a picture longer).
    void addPicture(const AVFrame &picture, AVRational frameRate);
    void addSound(const AVPacket &packet, AVRational timeBase);

    // The latest place on the output's timeline (from 0) that a frame may take now.
    double latestSeconds() const;

    // Streams start a little apart and sound runs a little ahead of pictures in a file:
    // that much, and no more, a frame may lie beyond what is held.
    static constexpr double MarginSeconds = 2.0;

private:
    double m_pictureSeconds = 0;
    double m_soundSeconds = 0;
};

} // namespace engine
