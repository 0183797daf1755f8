#include "batch/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QThread>
#include <QVariantMap>

#include <memory>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");

// The session bus as the session announces it, or the user's bus socket. A bus is never
// started for this: without a session there is nobody to read the notification.
QString sessionBusAddress()
{
    const QString given = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!given.isEmpty())
        return given;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (runtime.isEmpty() || !QFileInfo(socket).exists())
        return {};
    return QStringLiteral("unix:path=") + socket;
}

// Runs on the connecting thread: the name of a connection to the session bus, or "" when
// there is none. A failed connection is dropped, so a later notification tries afresh.
QString connectToSessionBus()
{
    const QString address = sessionBusAddress();
    if (address.isEmpty())
        return {};
    const QString name = QStringLiteral("clipferry-notifications ") + address;
    if (QDBusConnection::connectToBus(address, name).isConnected())
        return name;
    QDBusConnection::disconnectFromBus(name);
    return {};
}

} // namespace

DesktopNotification *
DesktopNotification::send(QObject *owner, const QString &summary, const QString &body)
{
    return new DesktopNotification(owner, summary, body);
}

DesktopNotification::DesktopNotification(QObject *owner,
                                         const QString &summary,
                                         const QString &body)
    : QObject(owner)
    , m_summary(summary)
    , m_body(body)
{
    auto connectionName = std::make_shared<QString>();
    QThread *connecting
            = QThread::create([connectionName] { *connectionName = connectToSessionBus(); });
    connect(connecting, &QThread::finished, this, [this, connectionName] {
        notify(*connectionName);
    });
    connect(connecting, &QThread::finished, connecting, &QObject::deleteLater);
    connecting->start();
}

void DesktopNotification::notify(const QString &connectionName)
{
    if (connectionName.isEmpty()) {
        finish(false);
        return;
    }
    QDBusMessage call
            = QDBusMessage::createMethodCall(service,
                                             QStringLiteral("/org/freedesktop/Notifications"),
                                             service,
                                             QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("clipferry")}};
    call << QStringLiteral("Clipferry") << 0u << QStringLiteral("clipferry") << m_summary << m_body
         << QStringList() << hints << -1;
    auto *answer
            = new QDBusPendingCallWatcher(QDBusConnection(connectionName).asyncCall(call), this);
    connect(answer,
            &QDBusPendingCallWatcher::finished,
            this,
            [this](QDBusPendingCallWatcher *reply) { finish(!reply->isError()); });
}

void DesktopNotification::finish(bool shown)
{
    emit finished(shown);
    deleteLater();
}
