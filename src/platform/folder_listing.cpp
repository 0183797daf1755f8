#include "platform/folder_listing.h"

#include "common/error.h"
#include "platform/file_system.h"
#include "platform/machine.h"
#include "platform/native_names.h"
#include "platform/win_paths.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

class DirHandle
{
public:
    explicit DirHandle(const QByteArray &path)
        : m_dir(::opendir(path.constData()))
    {}
    ~DirHandle()
    {
        if (m_dir)
            ::closedir(m_dir);
    }
    DirHandle(const DirHandle &) = delete;
    DirHandle &operator=(const DirHandle &) = delete;
    DIR *get() const { return m_dir; }

private:
    DIR *m_dir;
};

bool isRegularFile(int dir, const char *name)
{
    struct stat info;
    // An entry that vanished meanwhile is simply not listed.
    const int saved = errno;
    const bool regular = ::fstatat(dir, name, &info, 0) == 0 && S_ISREG(info.st_mode);
    errno = saved; // readdir's own failure is told by errno
    return regular;
}

// The regular files of a folder, hidden ones (the dot-files) left out: those a Windows path
// can hold, and those it cannot (holding "\").
struct FolderFiles
{
    QStringList names;
    QStringList withoutWindowsName;
};

FolderFiles filesOf(Machine &machine, const QString &folder)
{
    const QString native = toNativePath(machine, folder);
    DirHandle dir(toNativeBytes(native));
    if (!dir.get())
        throw Error(
                QStringLiteral("Cannot list the folder %1: %2").arg(folder, systemReason(errno)));
    FolderFiles found;
    errno = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QString name = fromNativeBytes(entry->d_name);
        if (!name.startsWith(QLatin1Char('.')) && isRegularFile(::dirfd(dir.get()), entry->d_name))
            (name.contains(QLatin1Char('\\')) ? found.withoutWindowsName : found.names)
                    .append(name);
        errno = 0;
    }
    if (errno != 0)
        throw Error(
                QStringLiteral("Cannot list the folder %1: %2").arg(folder, systemReason(errno)));
    return found;
}

} // namespace

QStringList listFiles(Machine &machine, const QString &folder)
{
    return filesOf(machine, folder).names;
}

QStringList filesWithoutWindowsName(Machine &machine, const QString &folder)
{
    return filesOf(machine, folder).withoutWindowsName;
}

QString volumeLabel(Machine &machine, const QString &drive)
{
    return FileSystemObject(machine).GetDrive(drive).VolumeName();
}
