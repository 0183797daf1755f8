#pragma once

#include "platform/machine.h"
#include "platform/volumes.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A machine made of temporary folders, installed as the current machine for its lifetime.
// C: holds the program's layout (Windows, Program Files\Clipferry, the encoder folder with
// Profiles, Internet Explorer). Further drives are temporary folders too. Programs started
// through the machine are recorded, not run.
class TempMachine
{
public:
    struct Launch
    {
        QString program; // native path
        QStringList arguments;
    };

    TempMachine();
    ~TempMachine();

    Machine &machine() { return *m_machine; }
    QString nativeC() const { return m_c.path(); }

    // Adds a drive backed by a new temporary folder; returns its native root.
    QString addDrive(QChar letter, DriveKind kind, const QString &label = {});
    // Adds a removable drive with no medium in it.
    void addEmptySlot(QChar letter, DriveKind kind = DriveKind::Removable);
    // Adds or changes a drive as described (the description's id names it).
    void setVolume(const VolumeDescription &volume);
    void removeVolume(const QString &id);
    // How often the drive table has read the volumes so far.
    int volumeReads() const { return m_volumes->reads(); }

    // Native path of a Windows-form path on this machine.
    QString native(const QString &windowsPath);
    // Writes a file (creating its folders); returns its native path.
    QString writeFile(const QString &windowsPath, const QByteArray &content = "x");
    QString makeFolder(const QString &windowsPath);

    const QList<Launch> &launches() const { return m_launches; }

private:
    QTemporaryDir m_c;
    std::vector<std::unique_ptr<QTemporaryDir>> m_others;
    StaticVolumes *m_volumes = nullptr;
    std::shared_ptr<Machine> m_machine;
    QList<Launch> m_launches;
};
