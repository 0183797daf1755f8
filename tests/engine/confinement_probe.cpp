// Loaded into the worker (LD_PRELOAD) by test_worker_confinement. At the first packet the
// engine reads, the worker as confined as it ever gets, it tries what a file that took over
// the demuxer would, and tells on stderr (inherited, so still writable) how each went:
// "probe read denied", "probe spawn done". What to try comes from the environment.

extern "C" {
#include <libavformat/avformat.h>
}

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

bool opened(const char *variable, int flags)
{
    const int fd = ::open(std::getenv(variable), flags | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

bool connected()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(std::atoi(std::getenv("CF_PROBE_PORT"))));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool done = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

bool spawned()
{
    char program[] = "/bin/true";
    char *const argv[] = {program, nullptr};
    pid_t child = 0;
    int status = -1;
    return ::posix_spawn(&child, program, nullptr, nullptr, argv, environ) == 0
           && ::waitpid(child, &status, 0) == child && status == 0;
}

void tell(const char *attempt, bool done)
{
    std::fprintf(stderr, "probe %s %s\n", attempt, done ? "done" : "denied");
}

} // namespace

extern "C" int av_read_frame(AVFormatContext *format, AVPacket *packet)
{
    static std::once_flag once;
    std::call_once(once, [] {
        tell("read", opened("CF_PROBE_READ", O_RDONLY));
        tell("write", opened("CF_PROBE_WRITE", O_WRONLY | O_CREAT));
        tell("connect", connected());
        tell("spawn", spawned());
    });
    using Read = int (*)(AVFormatContext *, AVPacket *);
    static const auto next = reinterpret_cast<Read>(::dlsym(RTLD_NEXT, "av_read_frame"));
    return next(format, packet);
}
