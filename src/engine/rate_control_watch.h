#pragma once

#include "engine/av_owners.h"
#include "engine/engine_job.h"

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <string>

namespace engine {

// libavcodec's rate control checks the analysis pass's statistics when the final pass's
// encoder opens, and refuses a target bit rate it cannot reach ("requested bitrate is too
// low", "bitrate too low for this video", "2pass curve failed to converge"), logging why at
// error level. libavcodec 5.1 then frees the encoder's rate equation twice on its way out of
// avcodec_open2, which aborts the process before the call returns (or, worse, goes on with a
// damaged heap). The engine judges the statistics the same way beforehand (pass_two_reach.h)
// and never opens an encoder that would refuse them; the watch stays as a net for a
// libavcodec whose judgement differs. It lives around that one call: it notes an error
// logged for its encoder, and should the process abort after one, it tells the observer
// (from the signal handler) before the abort goes on.
class RateControlWatch
{
public:
    // reason: what the observer and refused() callers are told, in words for a user.
    RateControlWatch(const AVCodecContext &encoder, std::string reason, EncodeObserver &observer);
    ~RateControlWatch();
    RateControlWatch(const RateControlWatch &) = delete;
    RateControlWatch &operator=(const RateControlWatch &) = delete;

    // The rate control refused the statistics (for a libavcodec that fails instead of aborting).
    bool refused() const { return m_refused; }
    const std::string &reason() const { return m_reason; }

private:
    static void log(void *subject, int level, const char *format, va_list arguments);
    static void aborting(int signal);

    const AVCodecContext &m_encoder;
    const std::string m_reason;
    EncodeObserver &m_observer;
    std::atomic<bool> m_refused = false;
    struct sigaction m_previousAbort = {};
};

} // namespace engine
