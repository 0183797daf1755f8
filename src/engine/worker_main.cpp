// WMEncWorker: runs one piece of the engine's work per process, so that a crash or abort
// inside FFmpeg ends this process and never the program's window. Its commands and lines are
// in worker_protocol_words.h.
//
// The host keeps stdin open while it waits. Its end without a "stop" means the host is gone
// (killed, crashed): nobody asked for a partial file, so the worker removes its temporary,
// leaves the final name alone and ends at once, also in the middle of a probe.
//
// The module WMEncEng.dll is loaded from the folder the worker was started from. Before the
// engine reads the input, the worker confines itself (worker_confinement.h); with
// WMENC_VERBOSE set it says on stderr how.

#include "common/encoder_folder.h"
#include "common/write_all.h"
#include "engine/engine_api.h"
#include "engine/worker_confinement.h"
#include "engine/worker_protocol_words.h"

extern "C" {
#include <libavutil/log.h>
}

#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

using worker_protocol::FailureSubject;
using worker_protocol::LineKind;
using worker_protocol::lineWord;
namespace arg = worker_protocol::encode_argument;

struct Engine
{
    cf_engine_interface_fn interface = nullptr;
    cf_engine_describe_fn describe = nullptr;
    cf_engine_probe_fn probe = nullptr;
    cf_engine_encode_fn encode = nullptr;
};

std::mutex outputMutex;

void say(const std::string &line)
{
    std::lock_guard lock(outputMutex);
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// The first words of a line of that kind: "failed ".
std::string lineStart(LineKind kind)
{
    return std::string(lineWord(kind)) + " ";
}

int fail(FailureSubject subject, const std::string &reason)
{
    say(lineStart(LineKind::Failed) + std::to_string(static_cast<int>(subject)) + " " + reason);
    return 1;
}

std::string ownFolder(const char *argv0)
{
    std::string path = argv0;
    if (path.find('/') == std::string::npos) {
        char buffer[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("./x");
    }
    return path.substr(0, path.rfind('/'));
}

template<typename T>
bool bind(void *module, const char *name, T &entry)
{
    entry = reinterpret_cast<T>(::dlsym(module, name));
    return entry != nullptr;
}

// Loads the module; an empty text on success, otherwise why not (without the module's path,
// which the host names in the program's own form).
std::string load(const std::string &folder, Engine &engine)
{
    const std::string path = folder + "/" + encoder_folder::ModuleFile;
    void *module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const std::string reason = ::dlerror();
        return reason.rfind(path + ": ", 0) == 0 ? reason.substr(path.size() + 2) : reason;
    }
    if (!bind(module, "cf_engine_interface", engine.interface)
        || !bind(module, "cf_engine_describe", engine.describe)
        || !bind(module, "cf_engine_probe", engine.probe)
        || !bind(module, "cf_engine_encode", engine.encode))
        return "it is not the Clipferry engine module";
    if (engine.interface() != CF_ENGINE_INTERFACE)
        return "it is of another version than its worker";
    return {};
}

std::atomic<bool> stopAsked = false;
// How the worker ends when its host has gone away.
constexpr int HostGoneStatus = 3;

// Reads the host's lines until "stop" (the encode then ends properly); the end of stdin
// without one abandons the work at once. temporary: the encode's output so far, or null.
void watchInput(const char *temporary)
{
    std::thread([temporary] {
        std::string line;
        char c = 0;
        for (;;) {
            const ssize_t got = ::read(STDIN_FILENO, &c, 1);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            if (c != '\n') {
                line += c;
            } else if (line == worker_protocol::StopLine) {
                stopAsked = true;
                return;
            } else {
                line.clear();
            }
        }
        if (temporary)
            ::unlink(temporary);
        ::_exit(HostGoneStatus);
    }).detach();
}

// Async-signal-safe: runs in the handler of libavcodec's abort. A host that went away reads
// nothing anyway.
void writeOut(const char *text)
{
    writeAll(STDOUT_FILENO, text, static_cast<std::int64_t>(std::strlen(text)));
}

class Reporter
{
public:
    static void progress(void *context, const cf_progress *p)
    {
        static_cast<Reporter *>(context)->report(*p, false);
    }
    static int stopRequested(void *) { return stopAsked ? 1 : 0; }
    // libavcodec aborts the process after refusing the final pass: report that as the
    // failure it is, so that the host makes the file in one pass.
    static void twoPassRefused(void *, const char *reason)
    {
        constexpr int subject = static_cast<int>(FailureSubject::TwoPassTarget);
        static_assert(subject >= 0 && subject < 10, "written as one digit");
        const char subjectText[] = {char('0' + subject), ' ', '\0'};
        writeOut(lineWord(LineKind::Failed));
        writeOut(" ");
        writeOut(subjectText);
        writeOut(reason);
        writeOut("\n");
        ::_exit(1);
    }

    static void notice(void *, const char *text) { say(lineStart(LineKind::Notice) + text); }

    void report(const cf_progress &p, bool always)
    {
        const auto now = std::chrono::steady_clock::now();
        if (!always && p.pass == m_last.pass && now - m_lastTime < std::chrono::milliseconds(200)) {
            m_last = p;
            return;
        }
        m_last = p;
        m_lastTime = now;
        say(worker_protocol::statsLine(p));
    }
    void reportLast() { report(m_last, true); }

private:
    cf_progress m_last{0, 0, 0, 0, 0};
    std::chrono::steady_clock::time_point m_lastTime;
};

// Confines the worker before any of its threads start; false after saying why it could not.
bool confine(const worker_confinement::Reach &reach)
{
    const worker_confinement::Outcome outcome = worker_confinement::confine(reach);
    if (std::getenv("WMENC_VERBOSE"))
        std::fprintf(stderr, "%s: %s\n", encoder_folder::WorkerFile, outcome.active.c_str());
    if (outcome.failure.empty())
        return true;
    fail(FailureSubject::Convert,
         "the encoder could not shut itself in before reading it (" + outcome.failure + ")");
    return false;
}

int runProbe(const Engine &engine, char *input)
{
    worker_protocol::decodePathArgument(input);
    if (!confine({input, {}, {}}))
        return 1;
    watchInput(nullptr);
    int64_t ms = 0;
    cf_failure failure{};
    if (engine.probe(input, &ms, &failure) != 0)
        return fail(FailureSubject(failure.subject), failure.reason);
    say(lineStart(LineKind::Duration) + std::to_string(ms));
    return 0;
}

int encode(const Engine &engine, const cf_job &job)
{
    Reporter reporter;
    const cf_callbacks callbacks{&reporter,
                                 &Reporter::progress,
                                 &Reporter::stopRequested,
                                 &Reporter::twoPassRefused,
                                 &Reporter::notice};
    if (!confine({job.input, job.temporary, job.output}))
        return 1;
    watchInput(job.temporary);
    cf_failure failure{};
    if (engine.encode(&job, &callbacks, &failure) != 0)
        return fail(FailureSubject(failure.subject), failure.reason);
    reporter.reportLast();
    say(lineWord(LineKind::Done));
    return 0;
}

// The host makes the temporary before it starts the worker, and the confinement lets the
// worker write that file alone. Started otherwise, the worker makes it itself.
bool makeTemporary(const char *path)
{
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

int runEncode(const Engine &engine, char **a)
{
    for (const int path : {arg::Input, arg::Temporary, arg::Output})
        worker_protocol::decodePathArgument(a[path]);
    const cf_settings settings{std::atoi(a[arg::Width]),
                               std::atoi(a[arg::Height]),
                               std::atof(a[arg::MaxFrameRate]),
                               std::atoi(a[arg::VideoBitRate]),
                               std::atof(a[arg::KeyFrameSeconds]),
                               std::atoi(a[arg::AudioBitRate]),
                               std::atoi(a[arg::SampleRate]),
                               std::atoi(a[arg::Channels])};
    const cf_job job{
            a[arg::Input], a[arg::Temporary], a[arg::Output], settings, std::atoi(a[arg::Passes])};
    const bool ownTemporary = makeTemporary(job.temporary);
    const int status = encode(engine, job);
    // After a success it is the output already.
    if (ownTemporary)
        ::unlink(job.temporary);
    return status;
}

void reportMemory()
{
    if (!std::getenv("WMENC_REPORT_MEMORY"))
        return;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "%s: peak memory %ld kB\n", encoder_folder::WorkerFile, usage.ru_maxrss);
}

int run(int argc, char **argv, const Engine &engine)
{
    const std::string command = argv[1];
    if (command == worker_protocol::HelloCommand) {
        say(lineStart(LineKind::Ready) + std::to_string(engine.interface()) + " "
            + engine.describe());
        return 0;
    }
    if (command == worker_protocol::ProbeCommand && argc == 3)
        return runProbe(engine, argv[2]);
    if (command == worker_protocol::EncodeCommand && argc == 2 + arg::Count)
        return runEncode(engine, argv + 2);
    return fail(FailureSubject::ModuleUnusable, "the worker was called the wrong way");
}

} // namespace

int main(int argc, char **argv)
{
    // Encoding gives way to the desktop: the window and the user's other programs come first.
    ::setpriority(PRIO_PROCESS, 0, ::getpriority(PRIO_PROCESS, 0) + 10);
    // The pipeline frees and allocates frame-sized blocks all the time; returning them to
    // the system each time costs more than the encoders' own work on a busy machine.
    ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
    ::mallopt(M_MMAP_THRESHOLD, 8 << 20);
    // Writing to the stdout of a host that went away must not kill the worker: it notices
    // the host's end on stdin and cleans up after itself.
    std::signal(SIGPIPE, SIG_IGN);
    av_log_set_level(std::getenv("WMENC_LOG") ? AV_LOG_INFO : AV_LOG_QUIET);
    if (argc < 2)
        return fail(FailureSubject::ModuleUnusable, "the worker was called the wrong way");
    Engine engine;
    const std::string problem = load(ownFolder(argv[0]), engine);
    if (!problem.empty())
        return fail(FailureSubject::ModuleUnusable, problem);
    const int status = run(argc, argv, engine);
    reportMemory();
    return status;
}
