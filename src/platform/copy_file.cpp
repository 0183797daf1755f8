#include "platform/file_system.h"

#include "common/error.h"
#include "common/temporary_file.h"
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

private:
    int m_fd;
};

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
    TemporaryBeside temporary(nativeTarget);
    if (!temporary.created())
        throw fail(errno);
    if (const int failure = copyContents(in.get(), temporary.fd()))
        throw fail(failure);
    if (::fsync(temporary.fd()) != 0 || temporary.close() != 0)
        throw fail(errno);
    ::chmod(temporary.path(), newFilePermissions()); // the copy is a new file
    if (::rename(temporary.path(), nativeTarget.toLocal8Bit().constData()) != 0)
        throw fail(errno);
    temporary.placed();
}
