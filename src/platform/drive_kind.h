#pragma once

// What kind of drive a volume is. The program asks in two codings: the kernel's
// GetDriveTypeA (0 unknown, 1 no such root, 2 removable, 3 fixed, 4 remote, 5 CD-ROM,
// 6 RAM disk) and the file-system object's DriveType (0 unknown, 1 removable, 2 fixed,
// 3 network, 4 CD-ROM, 5 RAM disk).
enum class DriveKind { Unknown, Removable, Fixed, Remote, CdRom, RamDisk };

constexpr int noSuchRootCode = 1;

constexpr int getDriveTypeCode(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Unknown:
        return 0;
    case DriveKind::Removable:
        return 2;
    case DriveKind::Fixed:
        return 3;
    case DriveKind::Remote:
        return 4;
    case DriveKind::CdRom:
        return 5;
    case DriveKind::RamDisk:
        return 6;
    }
    return 0;
}

constexpr int fileSystemDriveType(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Unknown:
        return 0;
    case DriveKind::Removable:
        return 1;
    case DriveKind::Fixed:
        return 2;
    case DriveKind::Remote:
        return 3;
    case DriveKind::CdRom:
        return 4;
    case DriveKind::RamDisk:
        return 5;
    }
    return 0;
}
