#include "desktop/desktop_notification.h"

#include "desktop/bus_connection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");

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
    reachBus(Bus::Session, this, [this](const QString &connection) { notify(connection); });
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
