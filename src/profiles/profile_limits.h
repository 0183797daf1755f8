#pragma once

#include <iterator>
#include <string>

// The settings the engine encodes with: the profile rules tell the user about them, and the
// engine checks them again before it starts, for callers that bypass the profiles. Plain C++,
// as the engine does not link Qt.
namespace profile_limits {

// Frame size in pixels; both sides even, as the video encoder works on pairs of lines.
inline constexpr int MinSide = 16;
inline constexpr int MaxWidth = 1920;
inline constexpr int MaxHeight = 1088;

inline constexpr double MinFrameRate = 1;
inline constexpr double MaxFrameRate = 60;

// Bits per second. Far above anything a Pocket PC plays; a larger value is a slip of the
// keyboard.
inline constexpr int MinVideoBitRate = 10000;
inline constexpr int MaxVideoBitRate = 20000000;

// More than 0 and at most this many seconds between key frames.
inline constexpr double MaxKeyFrameSeconds = 60;

// Bits per second. The WMA2 encoder refuses less; more than its highest standard rate buys
// nothing.
inline constexpr int MinAudioBitRate = 24000;
inline constexpr int MaxAudioBitRate = 320000;

// The sample rates the audio encoder is given, lowest first.
inline constexpr int SampleRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};

constexpr bool isSampleRate(int rate)
{
    for (const int known : SampleRates)
        if (known == rate)
            return true;
    return false;
}

// The sample rates as the messages name them: "8000, 11025, ... and 48000".
inline std::string sampleRateList()
{
    std::string list;
    const std::size_t count = std::size(SampleRates);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            list += i + 1 == count ? " and " : ", ";
        list += std::to_string(SampleRates[i]);
    }
    return list;
}

inline constexpr int MinChannels = 1;
inline constexpr int MaxChannels = 2;

} // namespace profile_limits
