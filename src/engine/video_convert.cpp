#include "engine/video_convert.h"

#include "engine/engine_error.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <cmath>
#include <cstddef>
#include <cstring>

namespace engine {

namespace {

int evenDown(double value)
{
    return static_cast<int>(std::lround(value)) & ~1;
}

// Fills the frame with black (studio-range YUV 4:2:0).
void paintBlack(AVFrame &frame)
{
    const int chromaHeight = (frame.height + 1) / 2;
    for (int row = 0; row < frame.height; ++row)
        std::memset(frame.data[0] + std::ptrdiff_t(row) * frame.linesize[0],
                    16,
                    static_cast<size_t>(frame.width));
    for (int plane = 1; plane <= 2; ++plane) {
        for (int row = 0; row < chromaHeight; ++row)
            std::memset(frame.data[plane] + std::ptrdiff_t(row) * frame.linesize[plane],
                        128,
                        static_cast<size_t>((frame.width + 1) / 2));
    }
}

// Row alignment of the output frames, enough for every SIMD path of the encoder.
constexpr int FrameAlign = 64;

// A picture only a pixel or two off the output's shape fills the frame: bars that thin
// would only look like a fault.
constexpr int MinBar = 4;

} // namespace

PictureRect
fitPicture(int sourceWidth, int sourceHeight, AVRational sampleAspect, int outWidth, int outHeight)
{
    const double sar = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    const double sourceAspect = sourceWidth * sar / sourceHeight;
    const double outAspect = static_cast<double>(outWidth) / outHeight;
    PictureRect rect{0, 0, outWidth, outHeight};
    if (sourceAspect > outAspect)
        rect.height = evenDown(outWidth / sourceAspect);
    else
        rect.width = evenDown(outHeight * sourceAspect);
    if (outWidth - rect.width < MinBar && outHeight - rect.height < MinBar)
        return {0, 0, outWidth, outHeight};
    rect.x = ((outWidth - rect.width) / 2) & ~1;
    rect.y = ((outHeight - rect.height) / 2) & ~1;
    return rect;
}

AVRational outputFrameRate(AVRational sourceRate, double maxFrameRate)
{
    const AVRational cap = av_d2q(maxFrameRate, 1001000);
    if (sourceRate.num <= 0 || sourceRate.den <= 0 || av_cmp_q(sourceRate, cap) > 0)
        return cap;
    return sourceRate;
}

VideoConverter::VideoConverter(const OutputSettings &settings, AVRational frameRate)
    : m_width(settings.width)
    , m_height(settings.height)
    , m_frameRate(frameRate)
{
    const int size = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, m_width, m_height, FrameAlign);
    m_pool.reset(av_buffer_pool_init(static_cast<size_t>(check(size, FailureSubject::Convert)),
                                     nullptr));
    if (!m_pool)
        throw std::bad_alloc();
}

FramePtr VideoConverter::pooledFrame()
{
    FramePtr frame = newFrame();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = m_width;
    frame->height = m_height;
    frame->buf[0] = av_buffer_pool_get(m_pool.get());
    if (!frame->buf[0])
        throw std::bad_alloc();
    check(av_image_fill_arrays(frame->data,
                               frame->linesize,
                               frame->buf[0]->data,
                               AV_PIX_FMT_YUV420P,
                               m_width,
                               m_height,
                               FrameAlign),
          FailureSubject::Convert);
    return frame;
}

void VideoConverter::prepareScaler(const AVFrame &picture)
{
    const AVRational aspect = picture.sample_aspect_ratio;
    if (m_scaler && picture.width == m_sourceWidth && picture.height == m_sourceHeight
        && picture.format == m_sourceFormat && av_cmp_q(aspect, m_sourceAspect) == 0)
        return;
    // Bilinear: for the small steps from Video CD sizes down to a handheld's screen it looks
    // the same as bicubic and leaves more time to the encoder.
    m_rect = fitPicture(picture.width, picture.height, aspect, m_width, m_height);
    m_scaler.reset(sws_getContext(picture.width,
                                  picture.height,
                                  static_cast<AVPixelFormat>(picture.format),
                                  m_rect.width,
                                  m_rect.height,
                                  AV_PIX_FMT_YUV420P,
                                  SWS_BILINEAR,
                                  nullptr,
                                  nullptr,
                                  nullptr));
    if (!m_scaler)
        throw EngineError(FailureSubject::Convert, "the pictures of this file cannot be scaled");
    m_sourceWidth = picture.width;
    m_sourceHeight = picture.height;
    m_sourceFormat = picture.format;
    m_sourceAspect = aspect;
}

FramePtr VideoConverter::scaled(const AVFrame &picture)
{
    prepareScaler(picture);
    FramePtr frame = pooledFrame();
    const bool bars = m_rect.width != m_width || m_rect.height != m_height;
    if (bars)
        paintBlack(*frame);
    uint8_t *const target[4] = {
            frame->data[0] + std::ptrdiff_t(m_rect.y) * frame->linesize[0] + m_rect.x,
            frame->data[1] + std::ptrdiff_t(m_rect.y / 2) * frame->linesize[1] + m_rect.x / 2,
            frame->data[2] + std::ptrdiff_t(m_rect.y / 2) * frame->linesize[2] + m_rect.x / 2,
            nullptr,
    };
    sws_scale(m_scaler.get(),
              picture.data,
              picture.linesize,
              0,
              picture.height,
              target,
              frame->linesize);
    return frame;
}

void VideoConverter::convert(const AVFrame &picture,
                             double seconds,
                             const std::function<bool(FramePtr)> &emit)
{
    const std::int64_t index
            = std::max<std::int64_t>(0, std::llround(seconds * av_q2d(m_frameRate)));
    if (!m_started) {
        m_nextIndex = index; // the output starts where the first picture is
        m_started = true;
    }
    if (index < m_nextIndex)
        return; // the source runs faster than the output: drop this picture
    FramePtr frame = scaled(picture);
    // A gap in the source (or a slower source) repeats this picture until the clock is met.
    while (m_nextIndex < index) {
        FramePtr copy(av_frame_clone(frame.get()));
        if (!copy)
            throw std::bad_alloc();
        copy->pts = m_nextIndex++;
        if (!emit(std::move(copy)))
            return;
    }
    frame->pts = m_nextIndex++;
    emit(std::move(frame));
}

} // namespace engine
