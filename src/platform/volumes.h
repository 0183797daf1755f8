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

// Where the drive table gets its volumes from. Read again whenever drives are asked about.
class VolumeSource
{
public:
    virtual ~VolumeSource() = default;
    virtual QList<VolumeDescription> volumes() = 0;
};

// A list of volumes that the owner can change while the program runs (tests insert and
// pull cards this way).
class StaticVolumes : public VolumeSource
{
public:
    explicit StaticVolumes(QList<VolumeDescription> volumes = {});
    QList<VolumeDescription> volumes() override;

    void add(const VolumeDescription &volume);
    void remove(const QString &id);
    void replace(const VolumeDescription &volume); // by id

private:
    QList<VolumeDescription> m_volumes;
};

// The machine's own volumes: the program's C: root, the mounts a desktop user sees under
// /media, /run/media and /mnt, empty removable slots, and Z: = "/".
class SystemVolumes : public VolumeSource
{
public:
    explicit SystemVolumes(QString driveCRoot);
    QList<VolumeDescription> volumes() override;

private:
    QString m_driveCRoot;
};
