#include "profiles/atomic_file.h"

#include "common/error.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary beside the target; closed and removed unless it was renamed into place.
class Temporary
{
public:
    explicit Temporary(const QString &target)
    {
        const QFileInfo info(target);
        // A hidden name without the ".prx" ending: no folder listing takes it for a profile.
        m_path = (info.absolutePath() + QStringLiteral("/.") + info.fileName()
                  + QStringLiteral(".tmp-XXXXXX"))
                         .toLocal8Bit();
        m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
    }
    ~Temporary()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_fd != NotCreated && !m_placed)
            ::unlink(m_path.constData());
    }
    Temporary(const Temporary &) = delete;
    Temporary &operator=(const Temporary &) = delete;

    bool created() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const char *path() const { return m_path.constData(); }
    // Closes now and reports the result (a deferred write error may show only here).
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = Closed;
        return result;
    }
    void placed() { m_placed = true; }

private:
    static constexpr int NotCreated = -1;
    static constexpr int Closed = -2;
    QByteArray m_path;
    int m_fd = NotCreated;
    bool m_placed = false;
};

// Returns 0 or the errno of the failure.
int writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        errno = 0;
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return errno != 0 ? errno : ENOSPC; // a write of nothing means a full disk
        data += written;
        size -= written;
    }
    return 0;
}

// The permissions the file ends up with: those of the file it replaces, otherwise the
// usual ones for a new file rather than mkstemp's 0600.
mode_t permissionsFor(const QByteArray &target)
{
    struct stat existing = {};
    if (::stat(target.constData(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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

    Temporary temporary(nativePath);
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
