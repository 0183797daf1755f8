#include "common/temporary_file.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TemporaryBeside::TemporaryBeside(const QString &nativeTarget)
{
    const QFileInfo info(nativeTarget);
    m_path = (info.absolutePath() + QStringLiteral("/.") + info.fileName()
              + QStringLiteral(".tmp-XXXXXX"))
                     .toLocal8Bit();
    m_fd = ::mkostemp(m_path.data(), O_CLOEXEC);
}

TemporaryBeside::~TemporaryBeside()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_fd != NotCreated && !m_placed)
        ::unlink(m_path.constData());
}

int TemporaryBeside::close()
{
    const int result = ::close(m_fd);
    m_fd = Closed;
    return result;
}

int writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        errno = 0;
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return errno != 0 ? errno : ENOSPC;
        data += written;
        size -= written;
    }
    return 0;
}

mode_t newFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
