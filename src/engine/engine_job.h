#pragma once

#include <cstdint>
#include <string>

namespace engine {

// The output settings of one encode (the engine's view of a profile).
struct OutputSettings
{
    int width = 320;
    int height = 240;
    double maxFrameRate = 30.0; // the source's rate, capped at this
    int videoBitRate = 300000;
    double keyFrameSeconds = 5.0;
    int audioBitRate = 48000;
    int sampleRate = 44100;
    int channels = 2;
};

struct EncodeRequest
{
    std::string input;
    std::string temporary; // written first, in the output's folder
    std::string output;    // the temporary becomes this when the file is finished
    OutputSettings settings;
    int passes = 1;
};

// The statistics of an encode so far. The same fields under the same names travel on: the
// module's cf_progress, the worker's "stats" line, the host's EncoderStatistics.
struct Progress
{
    int pass = 1;
    std::int64_t archiveBytes = 0; // output size so far (0 during an analysis pass)
    std::int64_t archiveMs = 0;    // output duration so far (0 during an analysis pass)
    std::int32_t bitRate = 0;      // bits per second over the last seconds of media
    std::int64_t frames = 0;       // video frames encoded in this pass
};

// How an encode talks back while it runs. progress() comes from the encoder stages' threads,
// one call at a time; stopRequested() from the reading thread, possibly at the same moment.
class EncodeObserver
{
public:
    virtual ~EncodeObserver() = default;
    virtual void progress(const Progress &progress) = 0;
    virtual bool stopRequested() = 0;
    // A remark on the finished file for the user ("damaged parts of it were skipped over"),
    // before encode() returns.
    virtual void notice(const std::string &text) { static_cast<void>(text); }
    // libavcodec is aborting the process after refusing the final pass of two, whose target
    // bit rate it cannot reach (see rate_control_watch.h); reason says so in words for a user.
    // Called from the abort's signal handler: only async-signal-safe work, such as writing
    // the reason and ending the process. Returning lets the abort go on.
    virtual void abortingOnTwoPassRefusal(const char *reason) noexcept
    {
        static_cast<void>(reason);
    }
};

} // namespace engine
