#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

// A session bus of the test's own: a dbus-daemon started for the test, with no services
// it could start by itself, so only what the test puts on it answers.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    // Empty when the bus could not be started (then error() says why).
    QString address() const { return m_address; }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

// The desktop's notification service as far as the program uses it: it records each
// notification it is asked to show.
class FakeNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification
    {
        QString appName;
        QString appIcon;
        QString summary;
        QString body;
        QVariantMap hints;
    };

    // Takes the service's name on the bus at the address; false when that fails.
    bool serveOn(const QString &address);
    // Gives the name up, and takes it again.
    void stop();
    bool resume();

    QList<Notification> shown;

public slots:
    uint Notify(const QString &appName,
                uint replacesId,
                const QString &appIcon,
                const QString &summary,
                const QString &body,
                const QStringList &actions,
                const QVariantMap &hints,
                int expireTimeout);

private:
    QString m_connection;
};
