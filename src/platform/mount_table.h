#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// One mount of the machine's mount table.
struct MountEntry
{
    QString mountPoint; // "/media/ann/CARD"
    QString device;     // "/dev/sdb1", or what the file system names as its source
    QString type;       // "vfat", "nfs4", ...
};

// The mounts listed in the text of /proc/self/mountinfo, in its order; a mount point that
// is mounted over appears once, with the mount on top. Reading the table asks no mounted
// file system anything.
QList<MountEntry> parseMountInfo(const QByteArray &text);
QList<MountEntry> readMountTable();

// The labels of the machine's file systems by device (its canonical path, "/dev/sdb1"),
// from the names the device manager gives them under /dev/disk/by-label.
QHash<QString, QString> readVolumeLabels(const QString &byLabelFolder
                                         = QStringLiteral("/dev/disk/by-label"));
