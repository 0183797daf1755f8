#include "engine/engine.h"
#include "engine/engine_api.h"
#include "engine/engine_error.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdio>
#include <exception>
#include <new>

#define CF_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class CallbackObserver : public engine::EncodeObserver
{
public:
    explicit CallbackObserver(const cf_callbacks *callbacks)
        : m_callbacks(callbacks)
    {}
    void progress(const engine::Progress &p) override
    {
        if (!m_callbacks || !m_callbacks->progress)
            return;
        const cf_progress out{p.pass, p.archiveBytes, p.archiveMs, p.bitRate, p.frames};
        m_callbacks->progress(m_callbacks->context, &out);
    }
    bool stopRequested() override
    {
        return m_callbacks && m_callbacks->stop_requested
               && m_callbacks->stop_requested(m_callbacks->context) != 0;
    }
    void notice(const std::string &text) override
    {
        if (m_callbacks && m_callbacks->notice)
            m_callbacks->notice(m_callbacks->context, text.c_str());
    }
    void abortingOnTwoPassRefusal(const char *reason) noexcept override
    {
        if (m_callbacks && m_callbacks->two_pass_refused)
            m_callbacks->two_pass_refused(m_callbacks->context, reason);
    }

private:
    const cf_callbacks *m_callbacks;
};

void fill(cf_failure *failure, int subject, const char *reason)
{
    if (!failure)
        return;
    failure->subject = subject;
    std::snprintf(failure->reason, sizeof failure->reason, "%s", reason);
}

// Runs an entry point's work; no exception crosses the module's C boundary.
template<typename Work>
int guarded(cf_failure *failure, Work &&work)
{
    try {
        work();
        return 0;
    } catch (const engine::EngineError &e) {
        fill(failure, static_cast<int>(e.subject()), e.what());
    } catch (const std::bad_alloc &) {
        fill(failure,
             static_cast<int>(engine::FailureSubject::Convert),
             "there is not enough memory");
    } catch (const std::exception &e) {
        fill(failure, static_cast<int>(engine::FailureSubject::Convert), e.what());
    }
    return -1;
}

engine::OutputSettings settingsOf(const cf_settings &s)
{
    return {s.width,
            s.height,
            s.max_frame_rate,
            s.video_bit_rate,
            s.key_frame_seconds,
            s.audio_bit_rate,
            s.sample_rate,
            s.channels};
}

} // namespace

CF_EXPORT int cf_engine_interface(void)
{
    return CF_ENGINE_INTERFACE;
}

CF_EXPORT const char *cf_engine_describe(void)
{
    return LIBAVCODEC_IDENT;
}

CF_EXPORT int cf_engine_probe(const char *input, int64_t *duration_ms, cf_failure *failure)
{
    return guarded(failure, [&] { *duration_ms = engine::probeDurationMs(input); });
}

CF_EXPORT int
cf_engine_encode(const cf_job *job, const cf_callbacks *callbacks, cf_failure *failure)
{
    return guarded(failure, [&] {
        engine::EncodeRequest request{job->input,
                                      job->temporary,
                                      job->output,
                                      settingsOf(job->settings),
                                      job->passes == 2 ? 2 : 1};
        CallbackObserver observer(callbacks);
        engine::encode(request, observer);
    });
}
