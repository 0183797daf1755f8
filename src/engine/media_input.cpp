#include "engine/media_input.h"

#include "engine/engine_error.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace engine {

namespace {

// A Video CD track file: "RIFF" <size> "CDXA".
bool isCdxaFile(const std::string &path)
{
    std::array<char, 12> head{};
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const size_t got = std::fread(head.data(), 1, head.size(), file);
    std::fclose(file);
    return got == head.size() && std::memcmp(head.data(), "RIFF", 4) == 0
           && std::memcmp(head.data() + 8, "CDXA", 4) == 0;
}

void checkReadableFile(const std::string &path)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0)
        throw EngineError(FailureSubject::OpenInput, std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        throw EngineError(FailureSubject::OpenInput, "it is a folder, not a file");
    // A pipe has no size of its own: it delivers what its writer sends.
    if (S_ISREG(info.st_mode) && info.st_size == 0)
        throw EngineError(FailureSubject::OpenInput, "the file is empty");
}

std::string unreadableReason(int code)
{
    if (code == AVERROR_INVALIDDATA)
        return "it is not a video or audio file that the encoder can read";
    return avErrorText(code);
}

} // namespace

MediaInput::MediaInput(const std::string &path)
{
    checkReadableFile(path);
    open(path);
    chooseStreams();
}

void MediaInput::open(const std::string &path)
{
    const AVInputFormat *forced = isCdxaFile(path) ? av_find_input_format("mpeg") : nullptr;
    AVFormatContext *raw = nullptr;
    const int opened = avformat_open_input(&raw, path.c_str(), forced, nullptr);
    if (opened < 0)
        throw EngineError(FailureSubject::OpenInput, unreadableReason(opened));
    m_format.reset(raw);
    const int found = avformat_find_stream_info(raw, nullptr);
    if (found < 0)
        throw EngineError(FailureSubject::OpenInput, unreadableReason(found));
}

void MediaInput::chooseStreams()
{
    AVFormatContext *format = m_format.get();
    m_videoIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_videoIndex >= 0
        && (format->streams[m_videoIndex]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        m_videoIndex = -1;
    m_audioIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, m_videoIndex, nullptr, 0);
    if (m_videoIndex < 0 && m_audioIndex < 0)
        throw EngineError(FailureSubject::OpenInput, "it holds neither pictures nor sound");
}

AVStream *MediaInput::videoStream() const
{
    return m_videoIndex >= 0 ? m_format->streams[m_videoIndex] : nullptr;
}

AVStream *MediaInput::audioStream() const
{
    return m_audioIndex >= 0 ? m_format->streams[m_audioIndex] : nullptr;
}

CodecContextPtr MediaInput::openDecoder(AVStream *stream)
{
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder)
        throw std::bad_alloc();
    check(avcodec_parameters_to_context(decoder.get(), stream->codecpar),
          FailureSubject::OpenInput);
    decoder->pkt_timebase = stream->time_base;
    // The MPEG-1 decoder is slower with threads of its own when the pipeline already keeps
    // both cores busy.
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return nullptr;
    return decoder;
}

void MediaInput::openDecoders(bool video, bool audio)
{
    if (video && videoStream())
        m_videoDecoder = openDecoder(videoStream());
    if (audio && audioStream())
        m_audioDecoder = openDecoder(audioStream());
    if (!m_videoDecoder && !m_audioDecoder)
        throw EngineError(FailureSubject::OpenInput,
                          "its pictures and sound are in a form the encoder cannot decode");
}

std::int64_t MediaInput::originUs() const
{
    return m_format->start_time == AV_NOPTS_VALUE ? 0 : m_format->start_time;
}

AVRational MediaInput::videoFrameRate() const
{
    AVStream *stream = videoStream();
    if (!stream)
        return {0, 1};
    if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0)
        return stream->avg_frame_rate;
    if (stream->r_frame_rate.num > 0 && stream->r_frame_rate.den > 0)
        return stream->r_frame_rate;
    return {0, 1};
}

bool MediaInput::readPacket(AVPacket *packet)
{
    const int read = av_read_frame(m_format.get(), packet);
    if (read == AVERROR_INVALIDDATA)
        m_endedOnDamage = true;
    if (read == AVERROR_EOF || read == AVERROR_INVALIDDATA)
        return false; // a truncated or damaged end: what was read so far is kept
    if (read < 0)
        throw EngineError(FailureSubject::ReadInput, avErrorText(read));
    return true;
}

} // namespace engine
