#include "desktop/launcher_entry.h"

#include "desktop/bus_connection.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {

// Docks match the entry to the menu entry by this name.
const QString appUri = QStringLiteral("application://clipferry.desktop");

} // namespace

LauncherEntry::LauncherEntry(QObject *parent)
    : QObject(parent)
{
    reachBus(Bus::Session, this, [this](const QString &connection) {
        m_reached = true;
        m_connection = connection;
        for (const QVariantMap &properties : std::as_const(m_unsent))
            send(properties);
        m_unsent.clear();
    });
}

LauncherEntry::~LauncherEntry()
{
    if (m_reached && !m_shown.isEmpty())
        send({{QStringLiteral("progress-visible"), false},
              {QStringLiteral("count-visible"), false}});
}

void LauncherEntry::show(double progress, qint64 count)
{
    const QVariantMap properties{{QStringLiteral("progress"), progress},
                                 {QStringLiteral("progress-visible"), true},
                                 {QStringLiteral("count"), count},
                                 {QStringLiteral("count-visible"), true}};
    if (properties == m_shown)
        return;
    m_shown = properties;
    if (m_reached)
        send(properties);
    else
        m_unsent.append(properties);
}

void LauncherEntry::send(const QVariantMap &properties) const
{
    if (m_connection.isEmpty())
        return;
    QDBusMessage update
            = QDBusMessage::createSignal(QStringLiteral("/org/clipferry/clipferry/LauncherEntry"),
                                         QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                         QStringLiteral("Update"));
    update << appUri << properties;
    QDBusConnection(m_connection).send(update);
}
