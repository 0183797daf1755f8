#include "engine/worker_confinement.h"

#include "engine/worker_landlock.h"
#include "engine/worker_syscall_filter.h"

#include <sys/prctl.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace worker_confinement {

namespace {

std::atomic<bool> confinedNow = false;

void forbidNewPrivileges()
{
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        throw Fault("prctl(PR_SET_NO_NEW_PRIVS)");
}

// What Landlock does here, in words for the start-up line.
std::string restrictFilesIfOffered(const Reach &reach)
{
    const int abi = landlockAbi();
    if (abi == 0)
        return "no landlock";
    restrictFiles(abi, reach);
    return "landlock ABI " + std::to_string(abi);
}

} // namespace

Fault::Fault(const char *call)
    : std::runtime_error(std::string(call) + ": " + std::strerror(errno))
{}

Outcome confine(const Reach &reach)
{
    if (std::getenv("WMENC_UNCONFINED"))
        return {"not confined (WMENC_UNCONFINED is set)", {}};
    try {
        forbidNewPrivileges();
        const std::string files = restrictFilesIfOffered(reach);
        filterSystemCalls();
        confinedNow = true;
        return {"no-new-privs, " + files + ", seccomp", {}};
    } catch (const Fault &fault) {
        return {"not confined", fault.what()};
    }
}

} // namespace worker_confinement

#if defined(__SANITIZE_ADDRESS__)
// LeakSanitizer's check at exit clones a tracer process and traces the worker's threads,
// which the filter forbids; its failing would end every confined run with an error. The
// engine's in-process tests check it for leaks, an unconfined worker is still checked.
extern "C" int __lsan_is_turned_off()
{
    return worker_confinement::confinedNow ? 1 : 0;
}
#endif
