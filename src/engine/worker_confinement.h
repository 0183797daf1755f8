#pragma once

// The worker shuts itself in before the engine reads the first byte of its input: a file that
// takes over a demuxer or decoder can then read only that input and write only the job's
// output, and cannot open sockets, start programs, make processes, trace, mount or use key
// rings. Three mechanisms, each as far as the kernel offers it:
//   - no new privileges (prctl), which the other two need;
//   - Landlock: every file access is denied but reading the input, writing the temporary
//     output and making, renaming and removing files in the output's folder; no TCP, no
//     signals or abstract sockets beyond the worker's own domain (on newer ABIs);
//   - a seccomp filter (libseccomp) that fails the forbidden system calls with EPERM.
// A kernel without Landlock (or with an older ABI) gets what it has; a mechanism failing
// otherwise is a fault, and the worker then does not convert at all.

#include <stdexcept>
#include <string>

namespace worker_confinement {

// A mechanism the kernel has failed: the worker must not convert unconfined.
class Fault : public std::runtime_error
{
public:
    // call: the system or library call that failed, with errno telling why.
    explicit Fault(const char *call);
};

// What the confined worker may still touch; empty paths are not needed by the run.
struct Reach
{
    std::string input;     // read
    std::string temporary; // written
    std::string output;    // made from the temporary by a rename in the same folder
};

struct Outcome
{
    std::string active;  // "no-new-privs, landlock ABI 7, seccomp"
    std::string failure; // why the worker could not confine itself; empty if it did
};

// Must run before the worker starts a thread: Landlock binds only the calling thread and
// the threads it starts later. The environment variable WMENC_UNCONFINED (a measuring aid
// for the encode benchmark, set by cf-encode --unconfined) leaves the worker as it is.
Outcome confine(const Reach &reach);

} // namespace worker_confinement
