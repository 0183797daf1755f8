#pragma once

#include "engine/av_owners.h"

#include <cstdint>
#include <string>

namespace engine {

// An opened input: its container, the chosen video and audio streams and their decoders.
// Video CD ".dat" files (RIFF/CDXA around raw sectors) are read with the MPEG program-stream
// demuxer forced, as sniffing fails on files with a long empty lead-in.
class MediaInput
{
public:
    explicit MediaInput(const std::string &path);

    AVFormatContext *format() const { return m_format.get(); }
    AVStream *videoStream() const;
    AVStream *audioStream() const;

    // Opens the decoders of the chosen streams (not needed to read the duration).
    void openDecoders(bool video, bool audio);
    AVCodecContext *videoDecoder() const { return m_videoDecoder.get(); }
    AVCodecContext *audioDecoder() const { return m_audioDecoder.get(); }

    // The first timestamp of the file in microseconds (Video CD streams start near 0.5 s).
    std::int64_t originUs() const;
    // The source's frame rate, or 0/1 when the container does not tell.
    AVRational videoFrameRate() const;

    // Reads the next packet; false at the end of the readable data.
    bool readPacket(AVPacket *packet);
    // Whether that end was data that is no media rather than the end of the file.
    bool endedOnDamage() const { return m_endedOnDamage; }

private:
    void open(const std::string &path);
    void chooseStreams();
    CodecContextPtr openDecoder(AVStream *stream);

    InputContextPtr m_format;
    int m_videoIndex = -1;
    int m_audioIndex = -1;
    CodecContextPtr m_videoDecoder;
    CodecContextPtr m_audioDecoder;
    bool m_endedOnDamage = false;
};

} // namespace engine
