#pragma once

#include "engine/av_owners.h"

#include <cstdint>

namespace engine {

// Resamples decoded sound to the encoder's rate, channels and sample format, and cuts it
// into the encoder's fixed frames through a FIFO (the WMA2 encoder takes 2048 samples at a
// time). Frames are numbered on the output's sample clock.
class AudioConverter
{
public:
    // encoder: the opened audio encoder, which gives the output format and frame size.
    explicit AudioConverter(const AVCodecContext &encoder);
    ~AudioConverter();
    AudioConverter(const AudioConverter &) = delete;
    AudioConverter &operator=(const AudioConverter &) = delete;

    // Adds decoded sound; seconds is where it starts on the timeline.
    void push(const AVFrame &sound, double seconds);
    // Moves the sound the resampler still holds into the FIFO (at the end of the input).
    void drain();
    // The next full frame, or nothing when the FIFO holds less. At the end (flush), what is
    // left comes out padded with silence.
    FramePtr pull(bool flush);

private:
    void prepareResampler(const AVFrame &sound);
    FramePtr newOutputFrame(int samples) const;
    void resample(const uint8_t **samples, int count);

    AVChannelLayout m_layout{};
    AVSampleFormat m_format;
    int m_rate;
    int m_frameSize;
    ResamplerPtr m_resampler;
    AudioFifoPtr m_fifo;
    int m_inFormat = -1;
    int m_inRate = 0;
    AVChannelLayout m_inLayout{};
    std::int64_t m_nextPts = 0;
    bool m_started = false;
};

} // namespace engine
