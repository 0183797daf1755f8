#include "platform/file_system.h"

#include "common/error.h"
#include "platform/machine.h"
#include "platform/native_names.h"
#include "platform/volume_probe.h"
#include "platform/win_paths.h"

namespace {

// "E", "E:", "E:\" (either case) -> 'E'; anything else -> null.
QChar letterOfDriveName(const QString &name)
{
    if (name.isEmpty() || !name[0].isLetter() || name[0].unicode() >= 128)
        return {};
    if (name.size() == 1 || name == QString(name[0]) + QLatin1Char(':')
        || name == QString(name[0]) + QStringLiteral(":\\"))
        return name[0].toUpper();
    return {};
}

} // namespace

DriveObject::DriveObject(Drive drive)
    : m_drive(std::move(drive))
{}

QString DriveObject::Path() const
{
    return QString(m_drive.letter) + QLatin1Char(':');
}

int DriveObject::DriveType() const
{
    return fileSystemDriveType(m_drive.volume.kind);
}

// A medium is in the drive and its file system answers in time (see askVolume).
bool DriveObject::IsReady() const
{
    return readiness() == Readiness::Ready;
}

DriveObject::Readiness DriveObject::readiness() const
{
    if (!m_drive.volume.ready || m_drive.volume.nativeRoot.isEmpty())
        return Readiness::NotReady;
    bool noAnswer = false;
    if (askVolume(m_drive.volume.nativeRoot, &noAnswer))
        return Readiness::Ready;
    return noAnswer ? Readiness::NoAnswer : Readiness::NotReady;
}

void DriveObject::requireReady() const
{
    if (!IsReady())
        throw Error(QStringLiteral("Drive %1 is not ready.").arg(Path()));
}

QString DriveObject::VolumeName() const
{
    requireReady();
    return m_drive.volume.label;
}

qint64 DriveObject::TotalSize() const
{
    if (m_drive.volume.totalBytes) {
        requireReady();
        return *m_drive.volume.totalBytes;
    }
    return space().totalBytes;
}

qint64 DriveObject::FreeSpace() const
{
    if (m_drive.volume.freeBytes) {
        requireReady();
        return *m_drive.volume.freeBytes;
    }
    return space().freeBytes;
}

VolumeSpace DriveObject::space() const
{
    const std::optional<VolumeSpace> space = m_drive.volume.ready && !nativeRoot().isEmpty()
                                                     ? askVolume(nativeRoot())
                                                     : std::nullopt;
    if (!space)
        throw Error(QStringLiteral("Drive %1 is not ready.").arg(Path()));
    return *space;
}

FileSystemObject::FileSystemObject(Machine &machine)
    : m_machine(machine)
{}

bool FileSystemObject::FileExists(const QString &path) const
{
    try {
        return nativeKindOf(toNativePath(m_machine, path)) == NativeKind::File;
    } catch (const Error &) {
        return false; // no such drive or not a path: no such file either
    }
}

QString FileSystemObject::GetDriveName(const QString &path) const
{
    if (path.size() >= 2 && path[0].isLetter() && path[0].unicode() < 128
        && path[1] == QLatin1Char(':'))
        return path.left(2);
    return {};
}

DriveObject FileSystemObject::GetDrive(const QString &driveSpec) const
{
    const QChar letter = letterOfDriveName(driveSpec);
    if (letter.isNull())
        throw Error(QStringLiteral("\"%1\" is not a drive name.").arg(driveSpec));
    const std::optional<Drive> drive = m_machine.drives().find(letter);
    if (!drive)
        throw Error(QStringLiteral("There is no drive %1: on this computer.").arg(letter));
    return DriveObject(*drive);
}

bool FileSystemObject::DriveExists(const QString &driveSpec) const
{
    const QChar letter = letterOfDriveName(driveSpec);
    return !letter.isNull() && m_machine.drives().find(letter).has_value();
}
