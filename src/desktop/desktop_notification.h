#pragma once

#include <QObject>
#include <QString>

// One desktop notification through the freedesktop notification service on the session
// bus. Nothing is shown, and nothing is said, where there is no session bus or no service.
// The window never waits: the bus is reached from a thread of its own and the call is
// answered asynchronously.
class DesktopNotification : public QObject
{
    Q_OBJECT
public:
    // Sends the notification. It belongs to the owner and deletes itself once the desktop
    // has answered, or at once when there is nobody to tell.
    static DesktopNotification *send(QObject *owner, const QString &summary, const QString &body);

signals:
    // The desktop showed the notification (true), or there was no bus or service (false).
    void finished(bool shown);

private:
    DesktopNotification(QObject *owner, const QString &summary, const QString &body);
    void notify(const QString &connectionName);
    void finish(bool shown);

    QString m_summary;
    QString m_body;
};
