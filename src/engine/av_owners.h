#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

// One owner type per libav object, so every object is released on every path (exceptions
// included) without a single explicit free in the pipeline code.
namespace engine {

struct InputContextCloser
{
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextCloser>;

struct OutputContextFree
{
    void operator()(AVFormatContext *context) const { avformat_free_context(context); }
};
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextFree>;

struct CodecContextFree
{
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;

struct FrameFree
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

struct PacketFree
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

struct ScalerFree
{
    void operator()(SwsContext *context) const { sws_freeContext(context); }
};
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFree>;

struct ResamplerFree
{
    void operator()(SwrContext *context) const { swr_free(&context); }
};
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFree>;

struct AudioFifoFree
{
    void operator()(AVAudioFifo *fifo) const { av_audio_fifo_free(fifo); }
};
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoFree>;

struct BufferPoolFree
{
    // The pool goes once the last of its buffers is given back.
    void operator()(AVBufferPool *pool) const { av_buffer_pool_uninit(&pool); }
};
using BufferPoolPtr = std::unique_ptr<AVBufferPool, BufferPoolFree>;

struct AvFree
{
    void operator()(void *memory) const { av_free(memory); }
};
template<typename T>
using AvMemoryPtr = std::unique_ptr<T, AvFree>;

// Owns an AVIOContext made with avio_alloc_context together with its buffer (which libav
// may have replaced while the context was in use).
struct IoContextFree
{
    void operator()(AVIOContext *context) const
    {
        if (context)
            av_freep(&context->buffer);
        avio_context_free(&context);
    }
};
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFree>;

FramePtr newFrame();
PacketPtr newPacket();

} // namespace engine
