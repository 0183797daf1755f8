#include "common/atomic_file.h"

#include "common/error.h"
#include "common/temporary_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A replaced file keeps its permissions; a new one has those of any new file.
int keepPermissionsOf(const QByteArray &target, int fd)
{
    struct stat existing = {};
    if (::stat(target.constData(), &existing) != 0)
        return 0;
    return ::fchmod(fd, existing.st_mode & 07777) == 0 ? 0 : errno;
}

} // namespace

int tryWriteFileAtomically(const QString &nativePath,
                           const QByteArray &bytes,
                           ExistingFile existing)
{
    const QFileInfo info(nativePath);
    if (existing == ExistingFile::Refuse && info.exists())
        return EEXIST;

    const FolderHandle folder(info.absolutePath());
    if (!folder.isOpen())
        return errno;
    TemporaryFile temporary(folder);
    if (!temporary.created())
        return errno;
    if (const int failure = writeAll(temporary.fd(), bytes.constData(), bytes.size()))
        return failure;
    if (const int failure = keepPermissionsOf(QFile::encodeName(nativePath), temporary.fd()))
        return failure;
    if (::fsync(temporary.fd()) != 0 || temporary.close() != 0)
        return errno;
    return temporary.place(QFile::encodeName(info.fileName()),
                           existing == ExistingFile::Replace ? Placement::Replace
                                                             : Placement::KeepExisting);
}

void writeFileAtomically(const QString &nativePath, const QByteArray &bytes, ExistingFile existing)
{
    if (const int failure = tryWriteFileAtomically(nativePath, bytes, existing))
        throw Error(QStringLiteral("%1: %2").arg(nativePath, systemReason(failure)));
}
