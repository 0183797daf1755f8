#pragma once

#include "platform/drive_kind.h"

#include <QChar>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// One volume as the machine shows it: where it lives, what kind it is, its label.
struct VolumeDescription
{
    QString id;         // stays the same while the volume stays mounted (keeps its letter)
    QString nativeRoot; // the volume's folder on this machine; empty when no medium is in
    DriveKind kind = DriveKind::Fixed;
    QString label;
    bool ready = true;
    QChar letter;                     // a fixed letter (C:, Z:, or one a test chose); else none
    std::optional<qint64> totalBytes; // sizes as told; otherwise read from the file system
    std::optional<qint64> freeBytes;
};

// Where the drive table gets its volumes from (see DriveTable for how often it is read).
class VolumeSource
{
public:
    virtual ~VolumeSource() = default;
    virtual QList<VolumeDescription> volumes() = 0;
    // Counts the changes the source knows of itself; a table read before a change reads
    // again. A source that cannot tell (the machine's mounts) stays at 0.
    virtual quint64 changes() const { return 0; }
};

// A list of volumes that the owner can change while the program runs (tests insert and
// pull cards this way).
class StaticVolumes : public VolumeSource
{
public:
    explicit StaticVolumes(QList<VolumeDescription> volumes = {});
    QList<VolumeDescription> volumes() override;
    quint64 changes() const override { return m_changes; }

    void add(const VolumeDescription &volume);
    void remove(const QString &id);
    void replace(const VolumeDescription &volume); // by id

    // How often the list was read, to show how often drive queries reach the source.
    int reads() const { return m_reads; }

private:
    QList<VolumeDescription> m_volumes;
    quint64 m_changes = 0;
    int m_reads = 0;
};

// The machine's own volumes: the program's C: root, the mounts a desktop user sees under
// /media, /run/media and /mnt, empty removable slots, and Z: = "/". Read from the mount
// table and sysfs without asking any mounted file system, so a hung network share
// anywhere on the machine cannot hold the reading up.
class SystemVolumes : public VolumeSource
{
public:
    explicit SystemVolumes(QString driveCRoot);
    QList<VolumeDescription> volumes() override;

private:
    QString m_driveCRoot;
};
