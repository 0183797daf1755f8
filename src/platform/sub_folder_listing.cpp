#include "platform/sub_folder_listing.h"

#include "common/error.h"
#include "platform/native_names.h"

#include <cerrno>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {

struct DirCloser
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};

bool isFolder(DIR *dir, const dirent &entry)
{
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK)
        return false;
    struct stat info;
    const int saved = errno; // readdir's own failure is told by errno
    const bool folder
            = ::fstatat(::dirfd(dir), entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
    errno = saved;
    return folder;
}

bool isListed(const QString &name)
{
    return !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('\\'));
}

Error cannotList(const QString &folder)
{
    return Error(QStringLiteral("Cannot list the folder %1: %2").arg(folder, systemReason(errno)));
}

} // namespace

QStringList listNativeSubFolders(const QString &nativeFolder,
                                 const std::function<void()> &entryRead)
{
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(toNativeBytes(nativeFolder).constData()));
    if (!dir)
        throw cannotList(nativeFolder);
    QStringList names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        if (entryRead)
            entryRead();
        const QString name = fromNativeBytes(entry->d_name);
        if (isListed(name) && isFolder(dir.get(), *entry))
            names.append(name);
        errno = 0;
    }
    if (errno != 0)
        throw cannotList(nativeFolder);
    return names;
}
