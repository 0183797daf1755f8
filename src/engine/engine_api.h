#pragma once

// The engine module's entry points (WMEncEng.dll, loaded by the worker with dlopen). Plain
// C, so the worker and the module only share this header.

// NOLINTBEGIN(modernize-*): a C header, C's typedefs and (void)

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Raised when the entry points below change incompatibly.
#define CF_ENGINE_INTERFACE 3

typedef struct cf_settings
{
    int width;
    int height;
    double max_frame_rate;
    int video_bit_rate;
    double key_frame_seconds;
    int audio_bit_rate;
    int sample_rate;
    int channels;
} cf_settings;

typedef struct cf_job
{
    const char *input;
    const char *temporary;
    const char *output;
    cf_settings settings;
    int passes; // 1 or 2
} cf_job;

// The engine's statistics (engine::Progress), field for field and under the same names.
typedef struct cf_progress
{
    int pass;
    int64_t archiveBytes;
    int64_t archiveMs;
    int32_t bitRate;
    int64_t frames;
} cf_progress;

typedef struct cf_callbacks
{
    void *context;
    void (*progress)(void *context, const cf_progress *progress);
    int (*stop_requested)(void *context);
    // The final pass of a two-pass encode cannot reach the profile's bit rate: the reason, in
    // words for a user, comes before libavcodec gives up, which may abort the process (see
    // rate_control_watch.h). Afterwards the encode fails with subject 5, if it returns.
    void (*two_pass_refused)(void *context, const char *reason);
    // A remark on the finished file, in words for a user (damaged parts that were skipped
    // over), before the encode returns.
    void (*notice)(void *context, const char *text);
} cf_callbacks;

// What failed (a worker_protocol::FailureSubject: 1 opening the input, 2 reading it, 3 writing
// the output, 4 converting, 5 the two-pass target cannot be reached: the file can still be
// made in one pass, 6 a stop came during the analysis pass, before anything was written)
// and why, in words for a user.
typedef struct cf_failure
{
    int subject;
    char reason[512];
} cf_failure;

typedef int (*cf_engine_interface_fn)(void);
typedef const char *(*cf_engine_describe_fn)(void);
typedef int (*cf_engine_probe_fn)(const char *input, int64_t *duration_ms, cf_failure *failure);
typedef int (*cf_engine_encode_fn)(const cf_job *job,
                                   const cf_callbacks *callbacks,
                                   cf_failure *failure);

// The entry points return 0 on success, -1 with *failure filled in otherwise.
int cf_engine_interface(void);
const char *cf_engine_describe(void);
int cf_engine_probe(const char *input, int64_t *duration_ms, cf_failure *failure);
int cf_engine_encode(const cf_job *job, const cf_callbacks *callbacks, cf_failure *failure);

#ifdef __cplusplus
}
#endif
// NOLINTEND(modernize-*)
