#pragma once

// The worker's seccomp filter (see worker_confinement.h).

namespace worker_confinement {

// Loads a filter into every thread of the process under which the system calls a
// converting worker never makes fail with EPERM: sockets, programs, processes (clone
// without CLONE_THREAD), signals to other processes, tracing, mounts, namespaces, key
// rings, kernel modules, BPF and the like. clone3 fails with ENOSYS, which makes the C
// library fall back to clone, whose flags a filter can see.
void filterSystemCalls();

} // namespace worker_confinement
