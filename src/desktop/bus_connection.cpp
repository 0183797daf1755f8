#include "desktop/bus_connection.h"

#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <memory>
#include <mutex>

namespace {

// A socket that is not there: no bus, and nothing to wait for.
QString socketAddress(const QString &socket)
{
    return QFileInfo::exists(socket) ? QStringLiteral("unix:path=") + socket : QString();
}

// The bus as the session announces it, or the usual socket.
QString busAddress(Bus bus)
{
    if (bus == Bus::System) {
        const QString given = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
        return given.isEmpty() ? socketAddress(QStringLiteral("/run/dbus/system_bus_socket"))
                               : given;
    }
    QString given = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!given.isEmpty())
        return given;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : socketAddress(runtime + QStringLiteral("/bus"));
}

// A thread, not yet started, that connects to the bus and deletes itself when done.
QThread *connectingThread(Bus bus, const std::shared_ptr<QString> &name)
{
    QThread *connecting = QThread::create([bus, name] { *name = connectToBus(bus); });
    QObject::connect(connecting, &QThread::finished, connecting, &QObject::deleteLater);
    return connecting;
}

} // namespace

QString connectToBus(Bus bus)
{
    const QString address = busAddress(bus);
    if (address.isEmpty())
        return {};
    QString name = (bus == Bus::System ? QStringLiteral("clipferry system ")
                                       : QStringLiteral("clipferry session "))
                   + address;
    // One connecting thread at a time: connections are shared by name, and Qt's D-Bus
    // crashes when two threads make and drop the same named connection at once (a batch's
    // start asks for the session bus twice, for the task bar and for the sleep inhibitor).
    static std::mutex connecting;
    const std::lock_guard lock(connecting);
    if (QDBusConnection::connectToBus(address, name).isConnected())
        return name;
    QDBusConnection::disconnectFromBus(name);
    return {};
}

void reachBus(Bus bus, QObject *context, std::function<void(const QString &connection)> then)
{
    auto name = std::make_shared<QString>();
    QThread *connecting = connectingThread(bus, name);
    QObject::connect(connecting, &QThread::finished, context, [name, then = std::move(then)] {
        then(*name);
    });
    connecting->start();
}

QString connectToBusWithin(Bus bus, int milliseconds)
{
    auto name = std::make_shared<QString>();
    QThread *connecting = connectingThread(bus, name);
    connecting->start();
    if (!connecting->wait(QDeadlineTimer(milliseconds)))
        return {};
    return *name;
}
