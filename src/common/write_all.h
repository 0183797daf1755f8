#pragma once

#include <cerrno>
#include <cstdint>
#include <unistd.h>

// Writes every byte, retrying after interruptions. Returns 0 or the errno of the failure; a
// write that takes nothing counts as a full disk (a short write on a full disk reports no
// error of its own). Plain C++ and async-signal-safe: the engine's worker also writes its
// last words with it from a signal handler.
inline int writeAll(int fd, const char *data, std::int64_t size)
{
    while (size > 0) {
        errno = 0;
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return errno != 0 ? errno : ENOSPC;
        data += written;
        size -= written;
    }
    return 0;
}
