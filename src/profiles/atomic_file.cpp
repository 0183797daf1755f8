#include "profiles/atomic_file.h"

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

void writeFileAtomically(const QString &nativePath, const QByteArray &bytes, ExistingFile existing)
{
    const auto fail = [&](int errnoValue) {
        return Error(QStringLiteral("%1: %2").arg(nativePath, systemReason(errnoValue)));
    };
    const QFileInfo info(nativePath);
    if (existing == ExistingFile::Refuse && info.exists())
        throw fail(EEXIST);

    const FolderHandle folder(info.absolutePath());
    if (!folder.isOpen())
        throw fail(errno);
    TemporaryFile temporary(folder);
    if (!temporary.created())
        throw fail(errno);
    if (const int failure = writeAll(temporary.fd(), bytes.constData(), bytes.size()))
        throw fail(failure);
    if (const int failure = keepPermissionsOf(QFile::encodeName(nativePath), temporary.fd()))
        throw fail(failure);
    if (::fsync(temporary.fd()) != 0 || temporary.close() != 0)
        throw fail(errno);
    const int failure = temporary.place(
            QFile::encodeName(info.fileName()),
            existing == ExistingFile::Replace ? Placement::Replace : Placement::KeepExisting);
    if (failure != 0)
        throw fail(failure);
}
