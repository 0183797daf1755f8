#pragma once

// The worker's file access through Landlock (see worker_confinement.h).

#include "engine/worker_confinement.h"

namespace worker_confinement {

// The Landlock ABI the kernel offers; 0 when it has no Landlock or has it turned off. The
// environment variable WMENC_LANDLOCK_ABI=N, a testing aid, makes it at most N, as on an
// older kernel.
int landlockAbi();

// Denies every file access the ABI can control but reading the input, writing the
// temporary and making, renaming and removing files in the output's folder; on ABI 4 and
// later also TCP, on ABI 6 and later signals and abstract sockets leaving the worker.
void restrictFiles(int abi, const Reach &reach);

} // namespace worker_confinement
