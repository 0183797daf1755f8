#include "engine/audio_convert.h"

#include "engine/engine_error.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <cmath>

namespace engine {

AudioConverter::AudioConverter(const AVCodecContext &encoder)
    : m_format(encoder.sample_fmt)
    , m_rate(encoder.sample_rate)
    , m_frameSize(encoder.frame_size > 0 ? encoder.frame_size : 1024)
{
    check(av_channel_layout_copy(&m_layout, &encoder.ch_layout), FailureSubject::Convert);
    m_fifo.reset(av_audio_fifo_alloc(m_format, m_layout.nb_channels, m_frameSize * 4));
    if (!m_fifo)
        throw std::bad_alloc();
}

AudioConverter::~AudioConverter()
{
    av_channel_layout_uninit(&m_layout);
    av_channel_layout_uninit(&m_inLayout);
}

void AudioConverter::prepareResampler(const AVFrame &sound)
{
    if (m_resampler && sound.format == m_inFormat && sound.sample_rate == m_inRate
        && av_channel_layout_compare(&sound.ch_layout, &m_inLayout) == 0)
        return;
    AVChannelLayout inLayout{};
    if (sound.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, sound.ch_layout.nb_channels);
    else
        check(av_channel_layout_copy(&inLayout, &sound.ch_layout), FailureSubject::Convert);
    SwrContext *raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw,
                                         &m_layout,
                                         m_format,
                                         m_rate,
                                         &inLayout,
                                         static_cast<AVSampleFormat>(sound.format),
                                         sound.sample_rate,
                                         0,
                                         nullptr);
    av_channel_layout_uninit(&inLayout);
    ResamplerPtr resampler(raw);
    check(made, FailureSubject::Convert);
    check(swr_init(resampler.get()), FailureSubject::Convert);
    m_resampler = std::move(resampler);
    m_inFormat = sound.format;
    m_inRate = sound.sample_rate;
    av_channel_layout_uninit(&m_inLayout);
    check(av_channel_layout_copy(&m_inLayout, &sound.ch_layout), FailureSubject::Convert);
}

void AudioConverter::push(const AVFrame &sound, double seconds)
{
    prepareResampler(sound);
    if (!m_started) {
        m_nextPts = std::max<std::int64_t>(0, std::llround(seconds * m_rate));
        m_started = true;
    }
    resample(const_cast<const uint8_t **>(sound.extended_data), sound.nb_samples);
}

void AudioConverter::drain()
{
    if (m_resampler)
        resample(nullptr, 0);
}

void AudioConverter::resample(const uint8_t **samples, int count)
{
    const int room = check(swr_get_out_samples(m_resampler.get(), count), FailureSubject::Convert);
    if (room <= 0)
        return;
    FramePtr converted = newOutputFrame(room);
    const int got = check(swr_convert(m_resampler.get(), converted->data, room, samples, count),
                          FailureSubject::Convert);
    if (got > 0
        && av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void **>(converted->data), got) < got)
        throw std::bad_alloc();
}

FramePtr AudioConverter::newOutputFrame(int samples) const
{
    FramePtr frame = newFrame();
    frame->format = m_format;
    frame->sample_rate = m_rate;
    frame->nb_samples = std::max(samples, 1);
    check(av_channel_layout_copy(&frame->ch_layout, &m_layout), FailureSubject::Convert);
    check(av_frame_get_buffer(frame.get(), 0), FailureSubject::Convert);
    return frame;
}

FramePtr AudioConverter::pull(bool flush)
{
    const int available = av_audio_fifo_size(m_fifo.get());
    if (available == 0 || (available < m_frameSize && !flush))
        return nullptr;
    FramePtr frame = newOutputFrame(m_frameSize);
    const int taken = std::min(available, m_frameSize);
    if (av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void **>(frame->data), taken) < taken)
        throw EngineError(FailureSubject::Convert, "the sound could not be buffered");
    if (taken < m_frameSize)
        av_samples_set_silence(
                frame->data, taken, m_frameSize - taken, m_layout.nb_channels, m_format);
    frame->pts = m_nextPts;
    m_nextPts += m_frameSize;
    return frame;
}

} // namespace engine
