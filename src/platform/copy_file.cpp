#include "platform/file_system.h"

#include "common/error.h"
#include "platform/machine.h"
#include "platform/win_paths.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// An open file descriptor that is closed on every path.
class Fd
{
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the result (a deferred write error may show only here).
    int release()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

// The temporary file beside the destination; removed unless the copy was completed.
class TemporaryCopy
{
public:
    explicit TemporaryCopy(const QString &destination)
        : m_path((destination + QStringLiteral(".cfpart-XXXXXX")).toLocal8Bit())
        , m_fd(::mkstemp(m_path.data()))
        , m_created(m_fd.get() >= 0)
    {}
    ~TemporaryCopy()
    {
        if (m_created && !m_done)
            ::unlink(m_path.constData());
    }
    int fd() const { return m_fd.get(); }
    int close() { return m_fd.release(); }
    const char *path() const { return m_path.constData(); }
    void keep() { m_done = true; }

private:
    QByteArray m_path;
    Fd m_fd;
    bool m_created;
    bool m_done = false;
};

// Returns 0 or the errno of the failure.
int writeAll(int fd, const char *data, ssize_t size)
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

// Returns 0 or the errno of the failure.
int copyContents(int from, int to)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        if (const int failure = writeAll(to, buffer.data(), got))
            return failure;
    }
}

} // namespace

void FileSystemObject::CopyFile(const QString &source, const QString &destination) const
{
    QString target = destination;
    if (target.endsWith(QLatin1Char('\\'))) {
        const qsizetype slash = source.lastIndexOf(QLatin1Char('\\'));
        target += source.mid(slash + 1);
    }
    const auto fail = [&](int errnoValue) {
        return Error(QStringLiteral("Cannot copy %1 to %2: %3")
                             .arg(source, target, systemReason(errnoValue)));
    };

    const QString nativeSource = toNativePath(m_machine, source);
    const QString nativeTarget = toNativePath(m_machine, target);
    if (QFileInfo(nativeTarget).isDir())
        throw fail(EISDIR);

    Fd in(::open(nativeSource.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        throw fail(errno);
    TemporaryCopy temporary(nativeTarget);
    if (temporary.fd() < 0)
        throw fail(errno);
    if (const int failure = copyContents(in.get(), temporary.fd()))
        throw fail(failure);
    if (::fsync(temporary.fd()) != 0 || temporary.close() != 0)
        throw fail(errno);
    // The copy is a new file: give it the usual permissions rather than mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temporary.path(), 0666 & ~mask);
    if (::rename(temporary.path(), nativeTarget.toLocal8Bit().constData()) != 0)
        throw fail(errno);
    temporary.keep();
}
