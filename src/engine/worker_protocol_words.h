#pragma once

// The line protocol between the encoder's host and its worker process WMEncWorker, for both
// sides: the worker (worker_main.cpp) writes it, the host (src/encoder/) starts the worker and
// reads it. Plain C++, as the worker does not link Qt.
//
//   WMEncWorker hello
//       -> "ready <interface> <engine>"
//   WMEncWorker probe INPUT
//       -> "duration <ms>"
//   WMEncWorker encode INPUT TEMPORARY OUTPUT PASSES WIDTH HEIGHT FPS VIDEO_BPS KEY_SECONDS
//                      AUDIO_BPS SAMPLE_RATE CHANNELS
//       -> "stats <pass> <archive bytes> <archive ms> <bit rate> <frames>" several times a
//          second (the fields of cf_progress), then "done". A line "stop" on stdin finishes the
//          file early; the partial file is kept, as the user asked for it. A stop during the
//          analysis pass of two ends with "failed 6 ..." instead: nothing was written. Before
//          "done", "notice <text>" may come: a remark on the finished file for the user, such as
//          damaged parts that were skipped over.
// Any failure: "failed <subject> <reason>".

#include "engine/engine_api.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace worker_protocol {

// The worker's first argument: what it is to do.
inline constexpr char HelloCommand[] = "hello";
inline constexpr char ProbeCommand[] = "probe";
inline constexpr char EncodeCommand[] = "encode";

// The host's one line on the worker's stdin (without its "\n").
inline constexpr char StopLine[] = "stop";

// The arguments of an encode after its command word, by position.
namespace encode_argument {
inline constexpr int Input = 0;
inline constexpr int Temporary = 1;
inline constexpr int Output = 2;
inline constexpr int Passes = 3;
inline constexpr int Width = 4;
inline constexpr int Height = 5;
inline constexpr int MaxFrameRate = 6;
inline constexpr int VideoBitRate = 7;
inline constexpr int KeyFrameSeconds = 8;
inline constexpr int AudioBitRate = 9;
inline constexpr int SampleRate = 10;
inline constexpr int Channels = 11;
inline constexpr int Count = 12;
} // namespace encode_argument

// The fields of a "stats" line after its first word, by position.
namespace stats_field {
inline constexpr int Pass = 0;
inline constexpr int ArchiveBytes = 1;
inline constexpr int ArchiveMs = 2;
inline constexpr int BitRate = 3;
inline constexpr int Frames = 4;
inline constexpr int Count = 5;
} // namespace stats_field

// What a line the worker writes says; its first word names it.
enum class LineKind { Other, Ready, Duration, Stats, Done, Failed, Notice };

constexpr const char *lineWord(LineKind kind)
{
    switch (kind) {
    case LineKind::Ready:
        return "ready";
    case LineKind::Duration:
        return "duration";
    case LineKind::Stats:
        return "stats";
    case LineKind::Done:
        return "done";
    case LineKind::Failed:
        return "failed";
    case LineKind::Notice:
        return "notice";
    case LineKind::Other:
        break;
    }
    return "";
}

// The worker's "stats" line (without its "\n") for the engine's statistics; the host reads it
// back with worker_protocol::parse (src/encoder/worker_protocol.h).
inline std::string statsLine(const cf_progress &statistics)
{
    std::array<std::int64_t, stats_field::Count> fields{};
    fields[stats_field::Pass] = statistics.pass;
    fields[stats_field::ArchiveBytes] = statistics.archiveBytes;
    fields[stats_field::ArchiveMs] = statistics.archiveMs;
    fields[stats_field::BitRate] = statistics.bitRate;
    fields[stats_field::Frames] = statistics.frames;
    std::string line = lineWord(LineKind::Stats);
    for (const std::int64_t field : fields)
        line += ' ' + std::to_string(field);
    return line;
}

// What a failure was about; the number after "failed". The host words the user's message
// from it and the file's name as the user gave it, which the worker never sees.
enum class FailureSubject : int {
    ModuleUnusable = 0,      // the engine module cannot be loaded, or the worker was misused
    OpenInput = 1,           // the input cannot be opened or is not media
    ReadInput = 2,           // reading or decoding the input failed part-way
    WriteOutput = 3,         // the output cannot be created or written
    Convert = 4,             // the conversion itself failed (encoder set-up, settings)
    TwoPassTarget = 5,       // the final pass cannot reach the bit rate; one pass still can
    StoppedBeforeOutput = 6, // a stop came before the output was written: nothing was made
};

// A path as a worker argument (INPUT, TEMPORARY and OUTPUT above). The host's process
// library turns arguments into bytes with an encoding of its own, which cannot carry every byte
// a file name may hold (names from older disks are often not UTF-8), so the bytes travel as
// ASCII: "%" and every byte outside printable ASCII as "%" and two hex digits.
inline std::string encodePathArgument(std::string_view bytes)
{
    constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '%') {
            text += c;
        } else {
            text += '%';
            text += digits[byte >> 4];
            text += digits[byte & 0xF];
        }
    }
    return text;
}

// Turns an argument back into the path's bytes, in place (the bytes are never longer).
inline void decodePathArgument(char *text)
{
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    char *out = text;
    for (const char *in = text; *in;) {
        const int high = in[0] == '%' ? digit(in[1]) : -1;
        const int low = high >= 0 ? digit(in[2]) : -1;
        if (low >= 0) {
            *out++ = static_cast<char>(high * 16 + low);
            in += 3;
        } else {
            *out++ = *in++;
        }
    }
    *out = '\0';
}

} // namespace worker_protocol
