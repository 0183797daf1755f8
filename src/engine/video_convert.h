#pragma once

#include "engine/av_owners.h"
#include "engine/engine_job.h"

#include <cstdint>
#include <functional>

namespace engine {

// Where the picture goes inside the output frame: scaled to fit, keeping its display
// aspect, centred, with black bars on the sides that are left over.
struct PictureRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
PictureRect
fitPicture(int sourceWidth, int sourceHeight, AVRational sampleAspect, int outWidth, int outHeight);

// The output frame rate: the source's, capped at the profile's maximum.
AVRational outputFrameRate(AVRational sourceRate, double maxFrameRate);

// Turns decoded pictures into frames of the output's size and frame rate, numbered from 0
// on the output's frame clock (pictures are dropped or repeated to keep that clock).
class VideoConverter
{
public:
    VideoConverter(const OutputSettings &settings, AVRational frameRate);

    // Hands each output frame to emit; stops early when emit returns false.
    void convert(const AVFrame &picture, double seconds, const std::function<bool(FramePtr)> &emit);

private:
    FramePtr scaled(const AVFrame &picture);
    FramePtr pooledFrame();
    void prepareScaler(const AVFrame &picture);

    int m_width;
    int m_height;
    AVRational m_frameRate;
    ScalerPtr m_scaler;
    BufferPoolPtr m_pool; // output frames, reused once the encoder is done with them
    PictureRect m_rect;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    int m_sourceFormat = -1;
    AVRational m_sourceAspect{0, 1};
    std::int64_t m_nextIndex = 0;
    bool m_started = false;
};

} // namespace engine
