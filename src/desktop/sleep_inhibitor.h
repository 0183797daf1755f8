#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Keeps the machine from going to sleep while it lives: it asks the desktop's portal
// (org.freedesktop.portal.Inhibit on the session bus) where it runs, or logind on the system
// bus, giving a reason the user reads in the desktop's power settings. The screen may
// still go dark and lock. Asking and releasing never wait: the buses are reached from threads
// of their own and every call is answered asynchronously. Where neither service answers,
// nothing happens and nothing is said.
class SleepInhibitor : public QObject
{
    Q_OBJECT
public:
    explicit SleepInhibitor(const QString &reason, QObject *parent = nullptr);
    // Lets the machine sleep again; a request still on its way is released when answered.
    ~SleepInhibitor() override;

signals:
    // Who keeps the machine awake: "portal", "logind", or "" when nobody could be asked.
    void answered(const QString &by);

private:
    struct Hold;
    void askPortal(const QString &connection);
    void askLogind(const QString &connection);

    QString m_reason;
    std::shared_ptr<Hold> m_hold; // what the desktop gave, shared with the answers on their way
};
