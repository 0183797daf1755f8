#include "engine/rate_control_watch.h"

extern "C" {
#include <libavutil/log.h>
}

namespace engine {

namespace {
// The one watch in force; the log callback and the signal handler are process-wide.
std::atomic<RateControlWatch *> activeWatch = nullptr;
} // namespace

RateControlWatch::RateControlWatch(const AVCodecContext &encoder,
                                   std::string reason,
                                   EncodeObserver &observer)
    : m_encoder(encoder)
    , m_reason(std::move(reason))
    , m_observer(observer)
{
    activeWatch = this;
    av_log_set_callback(&RateControlWatch::log);
    struct sigaction action = {};
    action.sa_handler = &RateControlWatch::aborting;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGABRT, &action, &m_previousAbort);
}

RateControlWatch::~RateControlWatch()
{
    ::sigaction(SIGABRT, &m_previousAbort, nullptr);
    av_log_set_callback(&av_log_default_callback);
    activeWatch = nullptr;
}

// Every message still goes to libav's own logger, which keeps the level the process chose.
void RateControlWatch::log(void *subject, int level, const char *format, va_list arguments)
{
    RateControlWatch *watch = activeWatch;
    if (watch && subject == &watch->m_encoder && level <= AV_LOG_ERROR)
        watch->m_refused = true;
    av_log_default_callback(subject, level, format, arguments);
}

void RateControlWatch::aborting(int)
{
    RateControlWatch *watch = activeWatch;
    if (!watch)
        return;
    if (watch->m_refused)
        watch->m_observer.abortingOnTwoPassRefusal(watch->m_reason.c_str());
    // Another abort, or an observer that returned: abort() raises the signal once more, now
    // with the action that was in force before the watch.
    ::sigaction(SIGABRT, &watch->m_previousAbort, nullptr);
}

} // namespace engine
