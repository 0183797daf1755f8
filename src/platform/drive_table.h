#pragma once

#include "platform/volumes.h"

#include <QHash>
#include <QObject>

#include <memory>
#include <optional>

// A volume with its drive letter.
struct Drive
{
    QChar letter;
    VolumeDescription volume;
};

// The machine's drives, A: to Z:. One user action asks about many letters (the folder tree
// and the card scan ask about each), and each reading of the mount table costs, so the
// volumes read for the first question answer all questions until control returns to the
// event loop (or the source reports a change); the next action reads them again, so a card
// inserted after start-up is found. Without an event loop (a program with no application
// object, or another thread) every question reads them again. A volume keeps its letter
// while it stays mounted; a new one takes the lowest free letter from D.
class DriveTable
{
public:
    explicit DriveTable(std::unique_ptr<VolumeSource> source);
    ~DriveTable();

    // Drives in letter order, as they are now (see above).
    QList<Drive> drives();
    // The drive of that letter (either case), if any, as it is now.
    std::optional<Drive> find(QChar letter);

    // From the table as last read (path translation must not re-read the mount table for
    // every name): the drive of a letter, and the drive whose root holds a native path.
    std::optional<Drive> cachedFind(QChar letter);
    std::optional<Drive> cachedDriveOfNative(const QString &nativePath);

    VolumeSource &source() { return *m_source; }

private:
    void refresh();
    void read();
    void holdUntilEventLoop();
    QChar freeLetter() const;

    std::unique_ptr<VolumeSource> m_source;
    QHash<QString, QChar> m_letterOfId;
    QList<Drive> m_drives;
    bool m_read = false;
    bool m_current = false;             // read during this turn of the event loop
    quint64 m_readChanges = 0;          // the source's change count when it was read
    std::unique_ptr<QObject> m_turnEnd; // receives the end of the turn; gone with the table
};
