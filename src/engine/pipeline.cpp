#include "engine/pipeline.h"

#include "engine/audio_convert.h"
#include "engine/bounded_queue.h"
#include "engine/engine_error.h"
#include "engine/held_media.h"
#include "engine/media_input.h"
#include "engine/timeline.h"
#include "engine/video_convert.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace engine {

namespace {

// Enough to keep each encoder busy while the reader works, small enough for memory.
constexpr std::size_t VideoQueueFrames = 8;
constexpr std::size_t AudioQueueFrames = 48;

struct TimedSound
{
    FramePtr frame;
    double seconds = 0;
};

// The first failure of any stage; later ones are consequences of it.
class FailureSlot
{
public:
    void keep(std::exception_ptr failure)
    {
        std::lock_guard lock(m_mutex);
        if (!m_failure)
            m_failure = std::move(failure);
        m_failed = true;
    }
    bool failed() const { return m_failed; }
    void rethrow()
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    std::mutex m_mutex;
    std::exception_ptr m_failure;
    std::atomic<bool> m_failed = false;
};

// Hands every packet the encoder has ready to deliver.
void drainPackets(AVCodecContext &encoder,
                  AVPacket &packet,
                  const std::function<void(AVPacket &)> &deliver)
{
    for (;;) {
        const int got = avcodec_receive_packet(&encoder, &packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return;
        check(got, FailureSubject::Convert);
        deliver(packet);
        av_packet_unref(&packet);
    }
}

void encodeFrame(AVCodecContext &encoder,
                 const AVFrame *frame,
                 AVPacket &packet,
                 const std::function<void(AVPacket &)> &deliver)
{
    check(avcodec_send_frame(&encoder, frame), FailureSubject::Convert);
    drainPackets(encoder, packet, deliver);
}

class Pipeline
{
public:
    Pipeline(MediaInput &input,
             VideoPath *video,
             AudioPath *audio,
             PacketSink &sink,
             EncodeObserver &observer)
        : m_input(input)
        , m_video(video)
        , m_audio(audio)
        , m_sink(sink)
        , m_observer(observer)
        , m_timeline(input.originUs())
    {}

    DamageSeen run();

private:
    void guarded(const std::function<void()> &stage);
    void abortQueues();
    void readInput();
    void decode(AVCodecContext &decoder, const AVPacket *packet, bool video);
    void takePicture(const AVFrame &picture);
    void takeSound(const AVFrame &sound);
    void encodeVideo();
    void encodeAudio();
    double secondsOf(const AVFrame &frame, AVStream &stream, double fallback) const;
    double believable(double seconds, double expected);

    MediaInput &m_input;
    VideoPath *m_video;
    AudioPath *m_audio;
    PacketSink &m_sink;
    EncodeObserver &m_observer;
    Timeline m_timeline;
    HeldMedia m_held;
    DamageSeen m_damage;
    BoundedQueue<FramePtr> m_pictures{VideoQueueFrames};
    BoundedQueue<TimedSound> m_sounds{AudioQueueFrames};
    FailureSlot m_failure;
    double m_nextPictureSeconds = 0;
    double m_nextSoundSeconds = 0;
    std::int64_t m_decoded = 0;
};

void Pipeline::guarded(const std::function<void()> &stage)
{
    try {
        stage();
    } catch (...) {
        m_failure.keep(std::current_exception());
        abortQueues();
    }
}

void Pipeline::abortQueues()
{
    m_pictures.abort();
    m_sounds.abort();
}

DamageSeen Pipeline::run()
{
    std::thread videoStage;
    std::thread audioStage;
    if (m_video)
        videoStage = std::thread([this] { guarded([this] { encodeVideo(); }); });
    if (m_audio)
        audioStage = std::thread([this] { guarded([this] { encodeAudio(); }); });
    guarded([this] { readInput(); });
    m_pictures.close();
    m_sounds.close();
    if (videoStage.joinable())
        videoStage.join();
    if (audioStage.joinable())
        audioStage.join();
    m_failure.rethrow();
    return m_damage;
}

// Both streams' timestamps go through the timeline even when one of them is not encoded
// (the analysis pass), so that both passes of a two-pass encode see the same pictures.
void Pipeline::readInput()
{
    PacketPtr packet = newPacket();
    AVStream *videoStream = m_input.videoStream();
    AVStream *audioStream = m_input.audioStream();
    while (!m_failure.failed() && !m_observer.stopRequested() && m_input.readPacket(packet.get())) {
        AVStream *stream = m_input.format()->streams[packet->stream_index];
        if (stream == videoStream || stream == audioStream)
            m_timeline.place(*packet, stream->time_base);
        if (stream == audioStream)
            m_held.addSound(*packet, stream->time_base);
        if (stream == videoStream && m_video)
            decode(*m_input.videoDecoder(), packet.get(), true);
        else if (stream == audioStream && m_audio)
            decode(*m_input.audioDecoder(), packet.get(), false);
        av_packet_unref(packet.get());
    }
    m_damage.cutShort = m_input.endedOnDamage();
    m_damage.misplaced += m_timeline.damagedTimestamps();
    if (m_failure.failed())
        return;
    if (m_video)
        decode(*m_input.videoDecoder(), nullptr, true);
    if (m_audio)
        decode(*m_input.audioDecoder(), nullptr, false);
    if (m_decoded == 0 && !m_observer.stopRequested())
        throw EngineError(FailureSubject::ReadInput, "no picture or sound in it could be decoded");
}

// Damaged packets are stepped over: the decoders pick up again at the next good one.
void Pipeline::decode(AVCodecContext &decoder, const AVPacket *packet, bool video)
{
    if (avcodec_send_packet(&decoder, packet) < 0) {
        m_damage.skipped += packet ? 1 : 0;
        return;
    }
    FramePtr frame = newFrame();
    while (!m_failure.failed()) {
        const int got = avcodec_receive_frame(&decoder, frame.get());
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return;
        if (got < 0) {
            ++m_damage.skipped;
            continue;
        }
        ++m_decoded;
        if (frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT))
            ++m_damage.skipped;
        if (video)
            takePicture(*frame);
        else
            takeSound(*frame);
        av_frame_unref(frame.get());
    }
}

double Pipeline::secondsOf(const AVFrame &frame, AVStream &stream, double fallback) const
{
    if (frame.best_effort_timestamp == AV_NOPTS_VALUE)
        return fallback;
    return static_cast<double>(frame.best_effort_timestamp) * av_q2d(stream.time_base);
}

// A frame's time as its timestamp gives it, unless that lies beyond what the input has
// delivered so far (a damaged timestamp): then where the frame before it ended.
double Pipeline::believable(double seconds, double expected)
{
    const double latest = m_held.latestSeconds();
    if (seconds <= latest)
        return seconds;
    ++m_damage.misplaced;
    return std::min(expected, latest);
}

void Pipeline::takePicture(const AVFrame &picture)
{
    const double seconds = believable(
            secondsOf(picture, *m_input.videoStream(), m_nextPictureSeconds), m_nextPictureSeconds);
    const AVRational coded = m_input.videoDecoder()->framerate;
    const AVRational rate = m_input.videoFrameRate();
    m_held.addPicture(picture, coded.num > 0 && coded.den > 0 ? coded : rate);
    m_nextPictureSeconds = seconds + (rate.num > 0 ? av_q2d(av_inv_q(rate)) : 0.04);
    m_video->converter.convert(picture, seconds, [this](FramePtr frame) {
        return !m_observer.stopRequested() && m_pictures.push(std::move(frame));
    });
}

void Pipeline::takeSound(const AVFrame &sound)
{
    const double seconds = believable(secondsOf(sound, *m_input.audioStream(), m_nextSoundSeconds),
                                      m_nextSoundSeconds);
    m_nextSoundSeconds
            = seconds + static_cast<double>(sound.nb_samples) / std::max(sound.sample_rate, 1);
    FramePtr copy = newFrame();
    check(av_frame_ref(copy.get(), &sound), FailureSubject::ReadInput);
    m_sounds.push({std::move(copy), seconds});
}

void Pipeline::encodeVideo()
{
    AVCodecContext &encoder = m_video->encoder;
    PacketPtr packet = newPacket();
    const auto deliver = [this](AVPacket &p) {
        m_sink.videoPacket(p);
    };
    while (std::optional<FramePtr> frame = m_pictures.pop())
        encodeFrame(encoder, frame->get(), *packet, deliver);
    if (!m_failure.failed())
        encodeFrame(encoder, nullptr, *packet, deliver);
}

void Pipeline::encodeAudio()
{
    AVCodecContext &encoder = m_audio->encoder;
    AudioConverter &converter = m_audio->converter;
    PacketPtr packet = newPacket();
    const auto deliver = [this](AVPacket &p) {
        m_sink.audioPacket(p);
    };
    while (std::optional<TimedSound> sound = m_sounds.pop()) {
        converter.push(*sound->frame, sound->seconds);
        while (FramePtr frame = converter.pull(false))
            encodeFrame(encoder, frame.get(), *packet, deliver);
    }
    if (m_failure.failed())
        return;
    converter.drain();
    while (FramePtr frame = converter.pull(true))
        encodeFrame(encoder, frame.get(), *packet, deliver);
    encodeFrame(encoder, nullptr, *packet, deliver);
}

} // namespace

std::string DamageSeen::remark() const
{
    std::string text;
    if (skipped > 0 || misplaced > 0)
        text = "damaged parts of it were skipped over";
    if (cutShort)
        text += (text.empty() ? "" : "; ") + std::string("its end is damaged and was left out");
    return text;
}

DamageSeen runPipeline(MediaInput &input,
                       VideoPath *video,
                       AudioPath *audio,
                       PacketSink &sink,
                       EncodeObserver &observer)
{
    return Pipeline(input, video, audio, sink, observer).run();
}

} // namespace engine
