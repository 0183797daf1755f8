#include "hung_mount.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {

// The system's own interpreter, where Debian's python3-fuse lives.
QString python()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3"))
                   ? QStringLiteral("/usr/bin/python3")
                   : QStandardPaths::findExecutable(QStringLiteral("python3"));
}

QString missingPrerequisite()
{
    if (::access("/dev/fuse", R_OK | W_OK) != 0)
        return QStringLiteral("FUSE is unavailable: /dev/fuse is missing or not usable");
    if (::geteuid() != 0 && QStandardPaths::findExecutable(QStringLiteral("fusermount")).isEmpty())
        return QStringLiteral("FUSE is unavailable: not root and no fusermount (fuse3)");
    if (python().isEmpty())
        return QStringLiteral("FUSE is unavailable: no python3");
    return {};
}

} // namespace

HungMount::HungMount(const QString &mountPoint, int hangSeconds)
    : m_mountPoint(mountPoint)
    , m_unavailable(missingPrerequisite())
{
    if (!m_unavailable.isEmpty())
        return;
    m_fileSystem.start(
            python(),
            {QStringLiteral(CF_HUNG_MOUNT_SCRIPT), mountPoint, QString::number(hangSeconds)});
    const QDeadlineTimer deadline(10000);
    while (!mounted() && m_fileSystem.state() != QProcess::NotRunning && !deadline.hasExpired())
        QThread::msleep(20);
    if (mounted())
        return;
    m_fileSystem.kill();
    m_fileSystem.waitForFinished(5000);
    m_unavailable
            = QStringLiteral("FUSE is unavailable: the hung file system did not mount: %1")
                      .arg(QString::fromLocal8Bit(m_fileSystem.readAllStandardError()).trimmed());
}

// The mount table, not the mount point: asking the mount point would wait.
bool HungMount::mounted() const
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray field = ' ' + QFile::encodeName(m_mountPoint) + ' ';
    return table.readAll().contains(field);
}

HungMount::~HungMount()
{
    if (m_fileSystem.state() == QProcess::NotRunning && !mounted())
        return;
    m_fileSystem.kill(); // calls waiting on it now fail at once
    m_fileSystem.waitForFinished(5000);
    for (const auto &[program, arguments] :
         {std::pair{QStringLiteral("fusermount"), QStringList{"-u", "-z", m_mountPoint}},
          std::pair{QStringLiteral("umount"), QStringList{"-l", m_mountPoint}}}) {
        if (!mounted())
            break;
        QProcess::execute(program, arguments);
    }
}
