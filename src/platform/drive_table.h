#pragma once

#include "platform/volumes.h"

#include <QHash>

#include <memory>
#include <optional>

// A volume with its drive letter.
struct Drive
{
    QChar letter;
    VolumeDescription volume;
};

// The machine's drives, A: to Z:. Each query that asks about drives reads the volume source
// again, so a card inserted after start-up is found. A volume keeps its letter while it stays
// mounted; a new one takes the lowest free letter from D.
class DriveTable
{
public:
    explicit DriveTable(std::unique_ptr<VolumeSource> source);

    // Reads the volumes again; drives in letter order.
    QList<Drive> drives();
    // Reads the volumes again; the drive of that letter (either case), if any.
    std::optional<Drive> find(QChar letter);

    // From the table as last read (path translation must not re-read the mount table for
    // every name): the drive of a letter, and the drive whose root holds a native path.
    std::optional<Drive> cachedFind(QChar letter);
    std::optional<Drive> cachedDriveOfNative(const QString &nativePath);

    VolumeSource &source() { return *m_source; }

private:
    void refresh();
    QChar freeLetter() const;

    std::unique_ptr<VolumeSource> m_source;
    QHash<QString, QChar> m_letterOfId;
    QList<Drive> m_drives;
    bool m_read = false;
};
