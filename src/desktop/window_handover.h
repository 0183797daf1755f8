#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <utility>

// One window per desktop session and C: drive. The first program on a C: drive takes a name
// of its own on the session bus, made from the C: drive's folder, and answers there as
// desktop applications do (org.freedesktop.Application: Activate, Open). A later start on the
// same drive hands its files, or only its wish to see the window, to that program and ends.
// Programs on other C: drives (another installation, a test's drive) never hear of each other;
// without a session bus every start opens a window of its own.
class WindowHandover : public QObject
{
    Q_OBJECT
public:
    // A request of a later start: native paths (none: only show the window), and how the
    // desktop would have activated that start ("desktop-startup-id", "activation-token").
    using Receiver = std::function<void(const QStringList &paths, const QVariantMap &activation)>;

    explicit WindowHandover(const QString &driveCRoot, QObject *parent = nullptr);
    ~WindowHandover() override;

    // The name on the session bus of the window of the C: drive.
    static QString busName(const QString &driveCRoot);
    // How the desktop asked this start to be activated, read from the environment (Qt takes it
    // from there when the first window shows).
    static QVariantMap activationFromEnvironment();

    // Hands the paths to the running window of this drive: true when it took them. False when
    // no window runs there (this program's window is then the one the name leads to) or there
    // is no session bus. Waits a few seconds at most for a bus or a window that does not answer.
    bool handOver(const QStringList &paths, const QVariantMap &activation);
    // Takes the requests of later starts; those that came before are handed at once.
    void serve(Receiver receive);
    // Gives the name up: the window closes, and a later start opens a window of its own.
    void release();

    // A later start's request, as the bus brings it.
    void takeRequest(const QStringList &paths, const QVariantMap &activation);

private:
    enum class Claim { Ours, Taken, Failed };
    Claim claimName();
    bool askRunningWindow(const QStringList &paths, const QVariantMap &activation);

    QString m_name;
    QString m_path;
    QString m_connection; // the session bus, once reached
    bool m_owner = false;
    Receiver m_receive;
    QList<std::pair<QStringList, QVariantMap>> m_waiting; // requests before serve()
};
