#include "private_session_bus.h"

#include <QFile>
#include <QStandardPaths>

namespace {

// Listens in the test's folder, lets every client talk to every other, and has no service
// folders: nothing on the machine is started on the test's bus.
const char *const busConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");

} // namespace

PrivateSessionBus::PrivateSessionBus()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon is not installed (scripts/install-deps.sh)");
        return;
    }
    const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    const QByteArray text = QString::fromLatin1(busConfig).arg(m_folder.path()).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        m_error = QStringLiteral("cannot write %1").arg(config);
        return;
    }
    file.close();
    m_daemon.start(daemon, {"--config-file=" + config, "--nofork", "--print-address=1"});
    // The daemon prints its address once it listens.
    while (m_daemon.waitForReadyRead(10000) && !m_daemon.canReadLine()) {}
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        m_error = QStringLiteral("dbus-daemon did not start: %1")
                          .arg(QString::fromLocal8Bit(m_daemon.readAllStandardError()));
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

bool FakeNotificationService::serveOn(const QString &address)
{
    m_connection = QStringLiteral("fake notification service");
    QDBusConnection bus = QDBusConnection::connectToBus(address, m_connection);
    return bus.isConnected()
           && bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                 this,
                                 QDBusConnection::ExportAllSlots)
           && resume();
}

void FakeNotificationService::stop()
{
    QDBusConnection(m_connection).unregisterService(serviceName);
}

bool FakeNotificationService::resume()
{
    return QDBusConnection(m_connection).registerService(serviceName);
}

uint FakeNotificationService::Notify(const QString &appName,
                                     uint,
                                     const QString &appIcon,
                                     const QString &summary,
                                     const QString &body,
                                     const QStringList &,
                                     const QVariantMap &hints,
                                     int)
{
    shown.append({appName, appIcon, summary, body, hints});
    return shown.size();
}
