#include "profiles/atomic_file.h"

#include "common/error.h"
#include "common/temporary_file.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The permissions the file ends up with: those of the file it replaces, otherwise those of
// a new file.
mode_t permissionsFor(const QByteArray &target)
{
    struct stat existing = {};
    if (::stat(target.constData(), &existing) == 0)
        return existing.st_mode & 07777;
    return newFilePermissions();
}

// Returns 0 or the errno of the failure; EEXIST when the target is taken.
int renameOntoFreeName(const char *from, const char *to)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the flag: a hard link fails on an existing name just the same.
    if (::link(from, to) != 0)
        return errno;
    ::unlink(from);
    return 0;
}

} // namespace

void writeFileAtomically(const QString &nativePath, const QByteArray &bytes, ExistingFile existing)
{
    const auto fail = [&](int errnoValue) {
        return Error(QStringLiteral("%1: %2").arg(nativePath, systemReason(errnoValue)));
    };
    const QByteArray target = nativePath.toLocal8Bit();
    if (existing == ExistingFile::Refuse && QFileInfo::exists(nativePath))
        throw fail(EEXIST);

    TemporaryBeside temporary(nativePath);
    if (!temporary.created())
        throw fail(errno);
    if (const int failure = writeAll(temporary.fd(), bytes.constData(), bytes.size()))
        throw fail(failure);
    if (::fchmod(temporary.fd(), permissionsFor(target)) != 0 || ::fsync(temporary.fd()) != 0
        || temporary.close() != 0)
        throw fail(errno);
    const int failure = existing == ExistingFile::Replace
                                ? (::rename(temporary.path(), target.constData()) == 0 ? 0 : errno)
                                : renameOntoFreeName(temporary.path(), target.constData());
    if (failure != 0)
        throw fail(failure);
    temporary.placed();
}
