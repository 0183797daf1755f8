#include "batch/failed_output.h"

#include "common/error.h"
#include "common/step_over.h"
#include "platform/native_names.h"
#include "platform/win_paths.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nativeOf(const QString &windowsPath)
{
    QString native;
    // A path that leads to no drive has no file under it.
    stepOver([&] { native = toNativePath(windowsPath); });
    return native;
}

OutputStamp stampOfNative(const QString &native)
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

} // namespace

bool OutputStamp::sameFileAs(const OutputStamp &other) const
{
    return exists && other.exists && device == other.device && inode == other.inode
           && size == other.size && modifiedNs == other.modifiedNs;
}

OutputStamp stampOf(const QString &windowsPath)
{
    return stampOfNative(nativeOf(windowsPath));
}

void removeFailedOutput(const QString &windowsPath, const OutputStamp &before)
{
    const QString native = nativeOf(windowsPath);
    const OutputStamp now = stampOfNative(native);
    if (!now.exists || now.sameFileAs(before))
        return;
    if (::unlink(toNativeBytes(native).constData()) != 0 && errno != ENOENT)
        throw Error(QStringLiteral("The unfinished output %1 could not be removed: %2")
                            .arg(windowsPath, systemReason(errno)));
}
