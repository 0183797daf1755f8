#include "engine/encoders.h"

#include "engine/engine_error.h"
#include "engine/pass_two_reach.h"
#include "engine/rate_control_watch.h"

#include <cmath>

namespace engine {

namespace {

CodecContextPtr allocate(AVCodecID id, const char *what, const AVCodec **codec)
{
    *codec = avcodec_find_encoder(id);
    if (!*codec)
        throw EngineError(FailureSubject::Convert,
                          std::string("this system's FFmpeg has no ") + what + " encoder");
    CodecContextPtr context(avcodec_alloc_context3(*codec));
    if (!context)
        throw std::bad_alloc();
    return context;
}

[[noreturn]] void refuse(const char *what, int code)
{
    throw EngineError(FailureSubject::Convert,
                      std::string("the ") + what
                              + " encoder does not accept the profile's settings ("
                              + avErrorText(code) + ")");
}

void open(AVCodecContext *context, const AVCodec *codec, const char *what)
{
    const int opened = avcodec_open2(context, codec, nullptr);
    if (opened < 0)
        refuse(what, opened);
}

// The analysis pass opened the same encoder with the same settings, so what can fail here
// is the rate control's judgement of the statistics. That judgement is made here first: on
// a refusal libavcodec 5.1 frees memory twice before avcodec_open2 returns.
void openFinalPass(AVCodecContext *context,
                   const AVCodec *codec,
                   const OutputSettings &settings,
                   EncodeObserver &observer)
{
    const std::string refusal = "two-pass encoding cannot reach the profile's video bit rate of "
                                + std::to_string(settings.videoBitRate)
                                + " bits per second for this file";
    if (!finalPassReachable(*context, context->stats_in))
        throw EngineError(FailureSubject::TwoPassTarget, refusal);
    RateControlWatch watch(*context, refusal, observer);
    const int opened = avcodec_open2(context, codec, nullptr);
    if (opened < 0 && watch.refused())
        throw EngineError(FailureSubject::TwoPassTarget, watch.reason());
    if (opened < 0)
        refuse("video", opened);
}

} // namespace

CodecContextPtr openVideoEncoder(const OutputSettings &settings,
                                 AVRational frameRate,
                                 RatePass pass,
                                 char *statistics,
                                 bool globalHeader,
                                 EncodeObserver &observer)
{
    const AVCodec *codec = nullptr;
    CodecContextPtr context = allocate(AV_CODEC_ID_WMV2, "WMV2 video", &codec);
    context->width = settings.width;
    context->height = settings.height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->sample_aspect_ratio = AVRational{1, 1};
    context->framerate = frameRate;
    context->time_base = av_inv_q(frameRate);
    context->bit_rate = settings.videoBitRate;
    // The encoder's default of a key frame every 12 frames wastes bits the picture needs.
    context->gop_size = std::max(
            1, static_cast<int>(std::lround(settings.keyFrameSeconds * av_q2d(frameRate))));
    context->thread_count = 1;
    if (globalHeader)
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (pass == RatePass::Analysis)
        context->flags |= AV_CODEC_FLAG_PASS1;
    if (pass == RatePass::Final) {
        context->flags |= AV_CODEC_FLAG_PASS2;
        context->stats_in = statistics;
        openFinalPass(context.get(), codec, settings, observer);
    } else {
        open(context.get(), codec, "video");
    }
    return context;
}

CodecContextPtr openAudioEncoder(const OutputSettings &settings, bool globalHeader)
{
    const AVCodec *codec = nullptr;
    CodecContextPtr context = allocate(AV_CODEC_ID_WMAV2, "WMA2 audio", &codec);
    context->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    context->sample_rate = settings.sampleRate;
    av_channel_layout_default(&context->ch_layout, settings.channels);
    context->bit_rate = settings.audioBitRate;
    context->time_base = AVRational{1, settings.sampleRate};
    if (globalHeader)
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    open(context.get(), codec, "audio");
    return context;
}

} // namespace engine
