#include "desktop/sleep_inhibitor.h"

#include "desktop/bus_connection.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QPointer>
#include <QVariantMap>

#include <functional>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");

// Only sleep is held off: the screen may go dark and lock while the batch runs (the portal's
// "idle" and logind's "idle" would keep it lit all night).
constexpr uint portalSuspendFlag = 4;
const QString logindWhat = QStringLiteral("sleep");

// Hands the reply of a call to `answer`, also when whoever asked is gone by then (what was
// granted must still be released).
void callThen(const QString &connection,
              const QDBusMessage &call,
              std::function<void(const QDBusMessage &reply)> answer)
{
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection(connection).asyncCall(call),
                                                QCoreApplication::instance());
    QObject::connect(watcher,
                     &QDBusPendingCallWatcher::finished,
                     watcher,
                     [answer = std::move(answer)](QDBusPendingCallWatcher *reply) {
                         answer(reply->reply());
                         reply->deleteLater();
                     });
}

bool isAnswer(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

} // namespace

// What keeps the machine awake: the portal's request, released by closing it, or logind's
// lock, released by closing its file descriptor.
struct SleepInhibitor::Hold
{
    bool released = false;
    QString portalConnection;
    QString portalRequest; // object path; empty when none is held
    QDBusUnixFileDescriptor logindLock;

    void release()
    {
        released = true;
        if (!portalRequest.isEmpty()) {
            QDBusConnection(portalConnection)
                    .send(QDBusMessage::createMethodCall(
                            portalService,
                            portalRequest,
                            QStringLiteral("org.freedesktop.portal.Request"),
                            QStringLiteral("Close")));
            portalRequest.clear();
        }
        logindLock = QDBusUnixFileDescriptor();
    }
};

SleepInhibitor::SleepInhibitor(const QString &reason, QObject *parent)
    : QObject(parent)
    , m_reason(reason)
    , m_hold(std::make_shared<Hold>())
{
    reachBus(Bus::Session, this, [this](const QString &connection) { askPortal(connection); });
}

SleepInhibitor::~SleepInhibitor()
{
    m_hold->release();
}

void SleepInhibitor::askPortal(const QString &connection)
{
    const auto askLogindInstead = [self = QPointer(this)] {
        if (self)
            reachBus(Bus::System, self, [self](const QString &system) { self->askLogind(system); });
    };
    if (connection.isEmpty()) {
        askLogindInstead();
        return;
    }
    QDBusMessage call
            = QDBusMessage::createMethodCall(portalService,
                                             QStringLiteral("/org/freedesktop/portal/desktop"),
                                             QStringLiteral("org.freedesktop.portal.Inhibit"),
                                             QStringLiteral("Inhibit"));
    call << QString() << portalSuspendFlag << QVariantMap{{QStringLiteral("reason"), m_reason}};
    // Asked only where it runs: started for this one request, the portal would bring up its
    // back ends and its document store too. logind answers where it does not run.
    call.setAutoStartService(false);
    callThen(connection,
             call,
             [self = QPointer(this), hold = m_hold, connection, askLogindInstead](
                     const QDBusMessage &reply) {
                 if (!isAnswer(reply)) {
                     askLogindInstead();
                     return;
                 }
                 hold->portalConnection = connection;
                 hold->portalRequest
                         = reply.arguments().constFirst().value<QDBusObjectPath>().path();
                 if (hold->released)
                     hold->release(); // the batch ended while the portal answered
                 else if (self)
                     emit self->answered(QStringLiteral("portal"));
             });
}

void SleepInhibitor::askLogind(const QString &connection)
{
    if (connection.isEmpty()) {
        emit answered(QString());
        return;
    }
    QDBusMessage call
            = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                             QStringLiteral("/org/freedesktop/login1"),
                                             QStringLiteral("org.freedesktop.login1.Manager"),
                                             QStringLiteral("Inhibit"));
    call << logindWhat << QStringLiteral("Clipferry") << m_reason << QStringLiteral("block");
    callThen(connection, call, [self = QPointer(this), hold = m_hold](const QDBusMessage &reply) {
        const bool held = isAnswer(reply);
        if (held && !hold->released)
            hold->logindLock = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
        if (self)
            emit self->answered(held ? QStringLiteral("logind") : QString());
    });
}
