#include "engine/engine.h"

#include "engine/audio_convert.h"
#include "engine/duration_probe.h"
#include "engine/encoders.h"
#include "engine/engine_error.h"
#include "engine/media_input.h"
#include "engine/muxer.h"
#include "engine/output_sink.h"
#include "engine/pipeline.h"
#include "engine/video_convert.h"
#include "profiles/profile_limits.h"

#include <cstdio>
#include <iterator>
#include <optional>

namespace engine {

namespace {

// The analysis pass keeps only the rate control's statistics, one line per frame.
class AnalysisSink : public PacketSink
{
public:
    AnalysisSink(AVCodecContext &encoder, EncodeObserver &observer)
        : m_encoder(encoder)
        , m_observer(observer)
    {}
    void videoPacket(AVPacket &) override
    {
        if (m_encoder.stats_out)
            m_statistics += m_encoder.stats_out;
        m_progress.frames++;
        m_observer.progress(m_progress);
    }
    void audioPacket(AVPacket &) override {}
    std::string take() { return std::move(m_statistics); }

private:
    AVCodecContext &m_encoder;
    EncodeObserver &m_observer;
    std::string m_statistics;
    Progress m_progress{1, 0, 0, 0, 0};
};

class MuxSink : public PacketSink
{
public:
    MuxSink(Muxer &muxer,
            const AVCodecContext *video,
            int videoStream,
            const AVCodecContext *audio,
            int audioStream)
        : m_muxer(muxer)
        , m_videoBase(video ? video->time_base : AVRational{1, 1})
        , m_videoStream(videoStream)
        , m_audioBase(audio ? audio->time_base : AVRational{1, 1})
        , m_audioStream(audioStream)
    {}
    void videoPacket(AVPacket &packet) override
    {
        m_muxer.write(packet, m_videoStream, m_videoBase);
    }
    void audioPacket(AVPacket &packet) override
    {
        m_muxer.write(packet, m_audioStream, m_audioBase);
    }

private:
    Muxer &m_muxer;
    AVRational m_videoBase;
    int m_videoStream;
    AVRational m_audioBase;
    int m_audioStream;
};

// Pass one of two: the video alone, through the encoder in analysis mode. Returns the
// statistics for pass two; nothing when the input has no pictures that can be decoded, as
// two passes over sound alone are one pass.
std::string analyse(const EncodeRequest &request, EncodeObserver &observer)
{
    MediaInput input(request.input);
    if (!input.videoStream())
        return {};
    input.openDecoders(true, true);
    if (!input.videoDecoder())
        return {};
    const AVRational rate = outputFrameRate(input.videoFrameRate(), request.settings.maxFrameRate);
    VideoConverter converter(request.settings, rate);
    CodecContextPtr encoder = openVideoEncoder(request.settings,
                                               rate,
                                               RatePass::Analysis,
                                               nullptr,
                                               Muxer::wantsGlobalHeaders(),
                                               observer);
    AnalysisSink sink(*encoder, observer);
    VideoPath video{converter, *encoder};
    runPipeline(input, &video, nullptr, sink, observer);
    return sink.take();
}

// What the written pass encodes: a converter and an encoder per stream the input has.
struct OutputStreams
{
    std::optional<VideoConverter> videoConverter;
    CodecContextPtr videoEncoder;
    int videoStream = -1;
    CodecContextPtr audioEncoder;
    std::optional<AudioConverter> audioConverter;
    int audioStream = -1;
};

// statistics: pass one's, or empty for a single pass.
void openVideoOutput(MediaInput &input,
                     const OutputSettings &settings,
                     std::string &statistics,
                     Muxer &muxer,
                     OutputStreams &out,
                     EncodeObserver &observer)
{
    if (!input.videoDecoder())
        return;
    const AVRational rate = outputFrameRate(input.videoFrameRate(), settings.maxFrameRate);
    out.videoConverter.emplace(settings, rate);
    out.videoEncoder = openVideoEncoder(settings,
                                        rate,
                                        statistics.empty() ? RatePass::Single : RatePass::Final,
                                        statistics.data(),
                                        Muxer::wantsGlobalHeaders(),
                                        observer);
    out.videoStream = muxer.addStream(*out.videoEncoder);
}

void openAudioOutput(MediaInput &input,
                     const OutputSettings &settings,
                     Muxer &muxer,
                     OutputStreams &out)
{
    if (!input.audioDecoder())
        return;
    out.audioEncoder = openAudioEncoder(settings, Muxer::wantsGlobalHeaders());
    out.audioConverter.emplace(*out.audioEncoder);
    out.audioStream = muxer.addStream(*out.audioEncoder);
}

// The pass that writes the file, from its header to its trailer.
void writeOutput(const EncodeRequest &request, EncodeObserver &observer, std::string &statistics)
{
    MediaInput input(request.input);
    input.openDecoders(true, true);
    OutputSink file(request.temporary, request.output);
    Muxer muxer(file, observer, statistics.empty() ? 1 : 2);
    OutputStreams out;
    openVideoOutput(input, request.settings, statistics, muxer, out, observer);
    openAudioOutput(input, request.settings, muxer, out);
    muxer.start();

    std::optional<VideoPath> video;
    if (out.videoEncoder)
        video.emplace(VideoPath{*out.videoConverter, *out.videoEncoder});
    std::optional<AudioPath> audio;
    if (out.audioEncoder)
        audio.emplace(AudioPath{*out.audioConverter, *out.audioEncoder});
    MuxSink sink(muxer,
                 out.videoEncoder.get(),
                 out.videoStream,
                 out.audioEncoder.get(),
                 out.audioStream);
    const DamageSeen damage = runPipeline(
            input, video ? &*video : nullptr, audio ? &*audio : nullptr, sink, observer);
    muxer.finish();
    file.commit();
    if (const std::string remark = damage.remark(); !remark.empty())
        observer.notice(remark);
}

void require(bool condition, const std::string &reason)
{
    if (!condition)
        throw EngineError(FailureSubject::Convert, "the profile cannot be used: " + reason);
}

std::string numberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

void requireRate(int value, int least, int most, const std::string &what)
{
    require(value >= least,
            "the " + what + " must be at least " + std::to_string(least) + " bits per second");
    require(value <= most,
            "the " + what + " must be at most " + std::to_string(most) + " bits per second");
}

} // namespace

void checkSettings(const OutputSettings &s)
{
    using namespace profile_limits;
    require(s.width >= MinSide && s.height >= MinSide && s.width <= MaxWidth
                    && s.height <= MaxHeight,
            "the video size must be between " + sizeText(MinSide, MinSide) + " and "
                    + sizeText(MaxWidth, MaxHeight));
    require(s.width % 2 == 0 && s.height % 2 == 0, "the video size must be even numbers");
    require(s.maxFrameRate >= MinFrameRate && s.maxFrameRate <= MaxFrameRate,
            "the frame rate must be between " + numberText(MinFrameRate) + " and "
                    + numberText(MaxFrameRate));
    requireRate(s.videoBitRate, MinVideoBitRate, MaxVideoBitRate, "video bit rate");
    require(s.keyFrameSeconds > 0 && s.keyFrameSeconds <= MaxKeyFrameSeconds,
            "the key frame distance must be between 0 and " + numberText(MaxKeyFrameSeconds)
                    + " seconds");
    requireRate(s.audioBitRate, MinAudioBitRate, MaxAudioBitRate, "audio bit rate");
    require(isSampleRate(s.sampleRate), "the sample rate must be one of " + sampleRateList());
    require(s.channels >= MinChannels && s.channels <= MaxChannels,
            "there must be one or two audio channels");
}

std::int64_t probeDurationMs(const std::string &path)
{
    MediaInput input(path);
    const std::int64_t us = probeDurationUs(input);
    return us > 0 ? (us + 500) / 1000 : 0;
}

void encode(const EncodeRequest &request, EncodeObserver &observer)
{
    checkSettings(request.settings);
    // Before any work: the rename at the end would replace a file the user may not change.
    checkReplaceable(request.output);
    std::string statistics;
    if (request.passes == 2) {
        statistics = analyse(request, observer);
        // Only the written pass makes a file: a stop before it leaves none, and an earlier
        // file of the output's name as it was.
        if (observer.stopRequested())
            throw EngineError(FailureSubject::StoppedBeforeOutput,
                              "it was stopped during the analysis pass, before anything was "
                              "written");
    }
    writeOutput(request, observer, statistics);
}

} // namespace engine
