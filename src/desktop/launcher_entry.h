#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

// The program's entry in the desktop's task bar or dock: a progress bar and a count over its
// icon, as KDE Plasma, Dash to Dock and Plank show them (com.canonical.Unity.LauncherEntry
// signals on the session bus, for the menu entry clipferry.desktop). The bus is reached from a
// thread of its own; what is shown before it is reached is sent once it is. Without a session
// bus, nothing is shown.
class LauncherEntry : public QObject
{
    Q_OBJECT
public:
    explicit LauncherEntry(QObject *parent = nullptr);
    // Takes the progress and the count off the icon.
    ~LauncherEntry() override;

    // Progress from 0 to 1, and a count beside it.
    void show(double progress, qint64 count);

private:
    void send(const QVariantMap &properties) const;

    bool m_reached = false;      // the bus answered (or there is none)
    QString m_connection;        // the session bus; empty when there is none
    QList<QVariantMap> m_unsent; // updates made before the bus was reached
    QVariantMap m_shown;         // the last update
};
