#pragma once

#include <QString>

// Test clips made on the spot with libavcodec: MPEG-1 video + MP2 sound in an MPEG program
// stream, the way Video CDs hold them, with moving pictures so the encoder has work to do.
struct ClipOptions
{
    double seconds = 3.0;
    bool pal = false;  // 352 x 288 at 25 frames/s; otherwise 352 x 240 at 29.97
    bool audio = true; // MP2, 44.1 kHz stereo (48 kHz in a DVD-style clip)
    bool video = true;
    bool vcdDat = false;   // wrapped as a Video CD ".dat": RIFF/CDXA around 2352-byte sectors
    int leadInSectors = 0; // empty sectors before the stream (".dat" only)
    int parts = 1;         // the stream restarts its timestamps at the start of each part
    // DVD-style: MPEG-2 video at 720 x 480 (720 x 576 with pal) whose header gives no bit
    // rate, in a program stream with DVD navigation packs (as "ffmpeg -f vob" writes it).
    bool dvd = false;
};

// Writes the clip to a native path; throws Error on failure.
void makeClip(const QString &nativePath, const ClipOptions &options = {});

// The bytes with `count` bits flipped at places drawn at random (as a scratched disc or a
// broken download damages a file): the same places for the same seed.
QByteArray damageBytes(QByteArray bytes, quint32 seed, int count);

// What a media file holds, as FFmpeg reads it back (video frames are decoded, so a file
// whose frames decode is one that plays).
struct MediaFacts
{
    QString format;
    QString videoCodec;
    int width = 0;
    int height = 0;
    double frameRate = 0;
    QString audioCodec;
    int sampleRate = 0;
    int channels = 0;
    qint64 durationMs = 0; // from the first packet's start to the last one's end
    qint64 bytes = 0;
    qint64 videoBytes = 0;    // payload of the video packets
    qint64 decodedFrames = 0; // video frames that decoded
    double videoBitRate() const { return durationMs > 0 ? videoBytes * 8000.0 / durationMs : 0; }
};

// Reads a media file; throws Error when FFmpeg cannot open it.
MediaFacts inspectMedia(const QString &nativePath);
