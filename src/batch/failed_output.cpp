#include "batch/failed_output.h"

#include "common/error.h"
#include "platform/native_names.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

OutputStamp stampOf(const QString &native)
{
    OutputStamp stamp;
    struct stat status
    {};
    if (native.isEmpty() || ::stat(toNativeBytes(native).constData(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = static_cast<quint64>(status.st_dev);
    stamp.inode = static_cast<quint64>(status.st_ino);
    stamp.size = static_cast<qint64>(status.st_size);
    stamp.modifiedNs
            = static_cast<qint64>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

bool OutputStamp::sameFileAs(const OutputStamp &other) const
{
    return exists && other.exists && device == other.device && inode == other.inode
           && size == other.size && modifiedNs == other.modifiedNs;
}

void removeFailedOutput(const QString &windowsPath,
                        const QString &native,
                        const OutputStamp &before)
{
    const OutputStamp now = stampOf(native);
    if (!now.exists || now.sameFileAs(before))
        return;
    if (::unlink(toNativeBytes(native).constData()) != 0 && errno != ENOENT)
        throw Error(QStringLiteral("The unfinished output %1 could not be removed: %2")
                            .arg(windowsPath, systemReason(errno)));
}
