#include "platform/folder_listing.h"

#include "common/error.h"
#include "platform/file_system.h"
#include "platform/machine.h"
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

bool isHidden(const QString &name)
{
    return name.startsWith(QLatin1Char('.')) && name != QLatin1String(".")
           && name != QLatin1String("..");
}

} // namespace

QStringList listFolder(Machine &machine, const QString &folder)
{
    const QString native = toNativePath(machine, folder);
    DirHandle dir(native.toLocal8Bit());
    if (!dir.get())
        throw Error(
                QStringLiteral("Cannot list the folder %1: %2").arg(folder, systemReason(errno)));
    QStringList names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QString name = QString::fromLocal8Bit(entry->d_name);
        if (!isHidden(name) && !name.contains(QLatin1Char('\\')))
            names.append(name);
        errno = 0;
    }
    if (errno != 0)
        throw Error(
                QStringLiteral("Cannot list the folder %1: %2").arg(folder, systemReason(errno)));
    return names;
}

QString volumeLabel(Machine &machine, const QString &drive)
{
    return FileSystemObject(machine).GetDrive(drive).VolumeName();
}

unsigned fileAttributes(Machine &machine, const QString &path)
{
    const QString native = toNativePath(machine, path);
    struct stat info;
    if (::stat(native.toLocal8Bit().constData(), &info) != 0)
        throw Error(QStringLiteral("Cannot read the attributes of %1: %2")
                            .arg(path, systemReason(errno)));
    return S_ISDIR(info.st_mode) ? fileAttributeDirectory : 0u;
}
