#pragma once

#include "platform/drive_table.h"

#include <QString>

class Machine;
struct VolumeSpace;

// A drive as the file-system object hands it out: a snapshot of the drive table's entry
// when it was fetched. Readiness and sizes are asked of the file system when wanted, on a
// helper thread with a time limit (see volume_probe.h).
class DriveObject
{
public:
    explicit DriveObject(Drive drive);

    QString Path() const;  // "E:"
    int DriveType() const; // 0 unknown, 1 removable, 2 fixed, 3 network, 4 CD-ROM, 5 RAM disk
    bool IsReady() const;
    // Why a drive is not ready: no medium (or gone), or a file system that did not answer
    // within the time limit.
    enum class Readiness { Ready, NotReady, NoAnswer };
    Readiness readiness() const;
    // These three fail with "Drive E: is not ready." when no medium is in the drive or its
    // file system does not answer in time.
    QString VolumeName() const;
    qint64 TotalSize() const;
    qint64 FreeSpace() const;

    QString nativeRoot() const { return m_drive.volume.nativeRoot; }

private:
    void requireReady() const;
    VolumeSpace space() const;

    Drive m_drive;
};

// The file-system object of the program (FileSys): file and drive queries and the file copy,
// all in Windows-form paths. Every failure is an Error naming the path and the reason.
class FileSystemObject
{
public:
    explicit FileSystemObject(Machine &machine);

    bool FileExists(const QString &path) const;
    // "E:\" and "E:\Videos" give "E:"; a text without a drive gives "".
    QString GetDriveName(const QString &path) const;
    // Takes "E", "E:" or "E:\"; fails for a letter that has no drive.
    DriveObject GetDrive(const QString &driveSpec) const;
    bool DriveExists(const QString &driveSpec) const;
    // Copies one file; a file of the same name at the destination is replaced. A destination
    // ending in "\" is a folder and the copy keeps its name. The copy is written under a
    // temporary name beside the destination and renamed when complete, so a failure (card
    // pulled, disk full, read-only) never leaves a truncated file under the destination name.
    void CopyFile(const QString &source, const QString &destination) const;

private:
    Machine &m_machine;
};
