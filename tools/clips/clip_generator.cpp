#include "clip_generator.h"

#include "common/error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <QFile>

#include <cmath>
#include <cstddef>
#include <memory>
#include <random>

namespace {

struct CodecFree
{
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct FormatFree
{
    void operator()(AVFormatContext *c) const
    {
        if (c && c->pb && !(c->oformat && (c->oformat->flags & AVFMT_NOFILE)) && !c->iformat)
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct InputFree
{
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct FrameFree
{
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct PacketFree
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
using Codec = std::unique_ptr<AVCodecContext, CodecFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;

void must(int code, const char *what)
{
    if (code < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(code, text, sizeof text);
        throw Error(QStringLiteral("Cannot make the test clip (%1): %2")
                            .arg(QLatin1String(what), QLatin1String(text)));
    }
}

constexpr int VcdPack = 2324;
constexpr int SectorSize = 2352;

// One part of a clip: an MPEG program stream whose timestamps start near 0.5 s.
class PartWriter
{
public:
    PartWriter(const QString &path, const ClipOptions &options);
    void write(double seconds);

private:
    void openVideo();
    void openAudio();
    void encode(AVCodecContext *codec, AVStream *stream, AVFrame *frame);
    void paintPicture(int index);
    void fillSound(std::int64_t firstSample);
    int soundRate() const { return m_options.dvd ? 48000 : 44100; }

    ClipOptions m_options;
    std::unique_ptr<AVFormatContext, FormatFree> m_format;
    Codec m_video;
    Codec m_audio;
    AVStream *m_videoStream = nullptr;
    AVStream *m_audioStream = nullptr;
    Frame m_picture{av_frame_alloc()};
    Frame m_sound{av_frame_alloc()};
    Packet m_packet{av_packet_alloc()};
};

PartWriter::PartWriter(const QString &path, const ClipOptions &options)
    : m_options(options)
{
    AVFormatContext *raw = nullptr;
    const char *muxer = options.vcdDat ? "vcd" : options.dvd ? "vob" : "mpeg";
    must(avformat_alloc_output_context2(&raw, nullptr, muxer, path.toLocal8Bit().constData()),
         "muxer");
    m_format.reset(raw);
    if (options.vcdDat) {
        // One pack per sector, at the disc's fixed rate.
        m_format->packet_size = VcdPack;
        av_opt_set_int(m_format->priv_data, "muxrate", std::int64_t{75} * SectorSize * 8, 0);
    }
    if (options.video)
        openVideo();
    if (options.audio)
        openAudio();
    must(avio_open(&m_format->pb, path.toLocal8Bit().constData(), AVIO_FLAG_WRITE), "file");
    must(avformat_write_header(m_format.get(), nullptr), "header");
}

void PartWriter::openVideo()
{
    const bool dvd = m_options.dvd;
    const AVCodec *codec
            = avcodec_find_encoder(dvd ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
    m_video.reset(avcodec_alloc_context3(codec));
    m_video->width = dvd ? 720 : 352;
    m_video->height = (m_options.pal ? 288 : 240) * (dvd ? 2 : 1);
    m_video->time_base = m_options.pal ? AVRational{1, 25} : AVRational{1001, 30000};
    m_video->framerate = av_inv_q(m_video->time_base);
    // Video CD and DVD pictures are 4:3 on screen.
    if (dvd)
        m_video->sample_aspect_ratio = m_options.pal ? AVRational{16, 15} : AVRational{8, 9};
    else
        m_video->sample_aspect_ratio = m_options.pal ? AVRational{59, 54} : AVRational{10, 11};
    m_video->pix_fmt = AV_PIX_FMT_YUV420P;
    m_video->gop_size = 15;
    m_video->max_b_frames = 2;
    if (dvd) {
        // Variable bit rate without a ceiling: the sequence header's rate field says nothing.
        m_video->bit_rate = 3000000;
    } else {
        m_video->bit_rate = 1150000;
        m_video->rc_buffer_size = 40 * 1024 * 8;
        m_video->rc_max_rate = 1150000;
        m_video->rc_min_rate = 1150000;
    }
    must(avcodec_open2(m_video.get(), codec, nullptr), "MPEG video encoder");
    m_videoStream = avformat_new_stream(m_format.get(), nullptr);
    must(avcodec_parameters_from_context(m_videoStream->codecpar, m_video.get()), "video stream");
    m_videoStream->time_base = m_video->time_base;
    m_picture->format = AV_PIX_FMT_YUV420P;
    m_picture->width = m_video->width;
    m_picture->height = m_video->height;
    must(av_frame_get_buffer(m_picture.get(), 0), "picture");
}

void PartWriter::openAudio()
{
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
    m_audio.reset(avcodec_alloc_context3(codec));
    m_audio->sample_fmt = AV_SAMPLE_FMT_S16;
    m_audio->sample_rate = soundRate();
    av_channel_layout_default(&m_audio->ch_layout, 2);
    m_audio->bit_rate = 224000;
    m_audio->time_base = AVRational{1, soundRate()};
    must(avcodec_open2(m_audio.get(), codec, nullptr), "MP2 encoder");
    m_audioStream = avformat_new_stream(m_format.get(), nullptr);
    must(avcodec_parameters_from_context(m_audioStream->codecpar, m_audio.get()), "audio stream");
    m_audioStream->time_base = m_audio->time_base;
    m_sound->format = m_audio->sample_fmt;
    m_sound->sample_rate = soundRate();
    m_sound->nb_samples = m_audio->frame_size;
    must(av_channel_layout_copy(&m_sound->ch_layout, &m_audio->ch_layout), "sound layout");
    must(av_frame_get_buffer(m_sound.get(), 0), "sound");
}

// A moving texture with a box sliding over it: every picture differs from the last.
void PartWriter::paintPicture(int index)
{
    must(av_frame_make_writable(m_picture.get()), "picture");
    AVFrame &f = *m_picture;
    const int boxX = (index * 5) % (f.width - 64);
    const int boxY = (index * 3) % (f.height - 64);
    for (int y = 0; y < f.height; ++y) {
        uint8_t *row = f.data[0] + std::ptrdiff_t(y) * f.linesize[0];
        for (int x = 0; x < f.width; ++x) {
            const bool inBox = x >= boxX && x < boxX + 64 && y >= boxY && y < boxY + 64;
            row[x] = inBox ? 235
                           : static_cast<uint8_t>(32 + (((x + index * 2) ^ (y + index)) & 0x7f));
        }
    }
    for (int plane = 1; plane <= 2; ++plane) {
        for (int y = 0; y < f.height / 2; ++y) {
            uint8_t *row = f.data[plane] + std::ptrdiff_t(y) * f.linesize[plane];
            for (int x = 0; x < f.width / 2; ++x)
                row[x] = static_cast<uint8_t>(128 + 48 * std::sin((x + y * plane + index) * 0.05));
        }
    }
}

// A tone that glides up and down, so the sound is never silence.
void PartWriter::fillSound(std::int64_t firstSample)
{
    must(av_frame_make_writable(m_sound.get()), "sound");
    auto *samples = reinterpret_cast<int16_t *>(m_sound->data[0]);
    for (std::ptrdiff_t i = 0; i < m_sound->nb_samples; ++i) {
        const double t = static_cast<double>(firstSample + i) / soundRate();
        const auto value
                = static_cast<int16_t>(8000 * std::sin(2 * M_PI * (440 + 220 * std::sin(t)) * t));
        samples[2 * i] = value;
        samples[2 * i + 1] = value;
    }
}

void PartWriter::encode(AVCodecContext *codec, AVStream *stream, AVFrame *frame)
{
    must(avcodec_send_frame(codec, frame), "encode");
    while (avcodec_receive_packet(codec, m_packet.get()) == 0) {
        av_packet_rescale_ts(m_packet.get(), codec->time_base, stream->time_base);
        m_packet->stream_index = stream->index;
        must(av_interleaved_write_frame(m_format.get(), m_packet.get()), "write");
    }
}

void PartWriter::write(double seconds)
{
    const int pictures
            = m_video ? static_cast<int>(std::lround(seconds * av_q2d(m_video->framerate))) : 0;
    const int rate = soundRate();
    const std::int64_t samples = m_audio ? std::llround(seconds * rate) : 0;
    std::int64_t sample = 0;
    for (int index = 0; index < pictures || sample < samples;) {
        const bool soundNext
                = m_audio && sample < samples
                  && (index >= pictures
                      || static_cast<double>(sample) / rate < index * av_q2d(m_video->time_base));
        if (soundNext) {
            fillSound(sample);
            m_sound->pts = sample;
            sample += m_sound->nb_samples;
            encode(m_audio.get(), m_audioStream, m_sound.get());
        } else {
            paintPicture(index);
            m_picture->pts = index++;
            encode(m_video.get(), m_videoStream, m_picture.get());
        }
    }
    if (m_video)
        encode(m_video.get(), m_videoStream, nullptr);
    if (m_audio)
        encode(m_audio.get(), m_audioStream, nullptr);
    must(av_write_trailer(m_format.get()), "trailer");
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

void writeAll(QFile &file, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size())
        throw Error(QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
    return bytes;
}

// A raw Mode 2 Form 2 sector: sync, address, subheader, 2324 bytes of data, spare.
QByteArray sector(int number, const QByteArray &data)
{
    QByteArray s;
    s.reserve(SectorSize);
    s.append('\0').append(QByteArray(10, '\xff')).append('\0');
    const int frames = number + 150; // two seconds of lead-in before the first sector
    const auto bcd = [](int v) {
        return static_cast<char>(((v / 10) << 4) | (v % 10));
    };
    s.append(bcd(frames / 75 / 60))
            .append(bcd(frames / 75 % 60))
            .append(bcd(frames % 75))
            .append('\x02');
    const QByteArray subheader = data.isEmpty() ? QByteArray("\x01\x00\x20\x00", 4)
                                                : QByteArray("\x01\x01\x62\x0f", 4);
    s.append(subheader).append(subheader);
    s.append(data.isEmpty() ? QByteArray(VcdPack, '\0') : data.leftJustified(VcdPack, '\0'));
    s.append(QByteArray(4, '\0'));
    return s;
}

void wrapAsDat(const QByteArray &stream, const QString &path, int leadIn)
{
    const int dataSectors = static_cast<int>((stream.size() + VcdPack - 1) / VcdPack);
    const auto dataBytes = static_cast<quint32>((leadIn + dataSectors) * SectorSize);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    QByteArray header = "RIFF" + le32(dataBytes + 36) + "CDXA" + "fmt " + le32(16);
    header += QByteArray("\0\0\0\0\0\0\x11\x55XA\x01\0\0\0\0\0", 16);
    header += "data" + le32(dataBytes);
    writeAll(file, header);
    for (int i = 0; i < leadIn; ++i)
        writeAll(file, sector(i, {}));
    for (int i = 0; i < dataSectors; ++i)
        writeAll(file, sector(leadIn + i, stream.mid(qsizetype(i) * VcdPack, VcdPack)));
}

} // namespace

void makeClip(const QString &nativePath, const ClipOptions &options)
{
    av_log_set_level(AV_LOG_ERROR);
    const QString partPath = nativePath + QStringLiteral(".part.mpg");
    QByteArray stream;
    const int parts = std::max(1, options.parts);
    for (int part = 0; part < parts; ++part) {
        PartWriter(partPath, options).write(options.seconds / parts);
        stream += readAll(partPath);
    }
    QFile::remove(partPath);
    if (options.vcdDat) {
        wrapAsDat(stream, nativePath, options.leadInSectors);
        return;
    }
    QFile file(nativePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Error(QStringLiteral("Cannot write %1: %2").arg(nativePath, file.errorString()));
    writeAll(file, stream);
}

QByteArray damageBytes(QByteArray bytes, quint32 seed, int count)
{
    if (bytes.isEmpty())
        return bytes;
    std::mt19937 random(seed);
    std::uniform_int_distribution<qsizetype> place(0, bytes.size() - 1);
    std::uniform_int_distribution<int> bit(0, 7);
    for (int i = 0; i < count; ++i)
        bytes[place(random)] ^= static_cast<char>(1 << bit(random));
    return bytes;
}

namespace {

struct Reading
{
    qint64 decodedFrames = 0;
    qint64 videoBytes = 0;
    qint64 firstMs = -1;
    qint64 endMs = 0;
};

void notePacket(const AVFormatContext *format, const AVPacket &packet, Reading &reading)
{
    if (packet.pts == AV_NOPTS_VALUE)
        return;
    const AVRational base = format->streams[packet.stream_index]->time_base;
    const qint64 start = av_rescale_q(packet.pts, base, AVRational{1, 1000});
    const qint64 end = av_rescale_q(packet.pts + packet.duration, base, AVRational{1, 1000});
    reading.firstMs = reading.firstMs < 0 ? start : std::min(reading.firstMs, start);
    reading.endMs = std::max(reading.endMs, end);
}

Reading readAllPackets(AVFormatContext *format, int videoIndex)
{
    std::unique_ptr<AVCodecContext, CodecFree> decoder;
    if (videoIndex >= 0) {
        const AVCodecParameters *par = format->streams[videoIndex]->codecpar;
        decoder.reset(avcodec_alloc_context3(avcodec_find_decoder(par->codec_id)));
        must(avcodec_parameters_to_context(decoder.get(), par), "decoder");
        must(avcodec_open2(decoder.get(), decoder->codec, nullptr), "decoder");
    }
    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    Reading reading;
    const auto receive = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0)
            ++reading.decodedFrames;
    };
    while (av_read_frame(format, packet.get()) >= 0) {
        notePacket(format, *packet, reading);
        if (packet->stream_index == videoIndex) {
            reading.videoBytes += packet->size;
            if (avcodec_send_packet(decoder.get(), packet.get()) >= 0)
                receive();
        }
        av_packet_unref(packet.get());
    }
    if (decoder && avcodec_send_packet(decoder.get(), nullptr) >= 0)
        receive();
    return reading;
}

} // namespace

MediaFacts inspectMedia(const QString &nativePath)
{
    QFile head(nativePath);
    const bool cdxa = head.open(QIODevice::ReadOnly) && head.read(12).mid(8) == "CDXA";
    AVFormatContext *raw = nullptr;
    must(avformat_open_input(&raw,
                             nativePath.toLocal8Bit().constData(),
                             cdxa ? av_find_input_format("mpeg") : nullptr,
                             nullptr),
         "open");
    std::unique_ptr<AVFormatContext, InputFree> format(raw);
    must(avformat_find_stream_info(raw, nullptr), "stream info");
    MediaFacts facts;
    facts.format = QLatin1String(raw->iformat->name);
    facts.bytes = QFile(nativePath).size();
    const int video = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int audio = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (video >= 0) {
        const AVStream *s = raw->streams[video];
        facts.videoCodec = QLatin1String(avcodec_get_name(s->codecpar->codec_id));
        facts.width = s->codecpar->width;
        facts.height = s->codecpar->height;
        facts.frameRate = av_q2d(s->avg_frame_rate.num ? s->avg_frame_rate : s->r_frame_rate);
    }
    if (audio >= 0) {
        const AVCodecParameters *par = raw->streams[audio]->codecpar;
        facts.audioCodec = QLatin1String(avcodec_get_name(par->codec_id));
        facts.sampleRate = par->sample_rate;
        facts.channels = par->ch_layout.nb_channels;
    }
    const Reading reading = readAllPackets(raw, video);
    facts.decodedFrames = reading.decodedFrames;
    facts.videoBytes = reading.videoBytes;
    facts.durationMs = reading.endMs - std::max<qint64>(reading.firstMs, 0);
    return facts;
}
