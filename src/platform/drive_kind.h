#pragma once

#include <cstdint>

// What kind of drive a volume is. The program asks in two codings: the kernel's
// GetDriveTypeA (0 unknown, 1 no such root, 2 removable, 3 fixed, 4 remote, 5 CD-ROM,
// 6 RAM disk) and the file-system object's DriveType (0 unknown, 1 removable, 2 fixed,
// 3 network, 4 CD-ROM, 5 RAM disk).
enum class DriveKind { Unknown, Removable, Fixed, Remote, CdRom, RamDisk };

// The codes of GetDriveTypeA.
namespace drive_type_a {
inline constexpr std::uint32_t Unknown = 0;
inline constexpr std::uint32_t NoRootDir = 1;
inline constexpr std::uint32_t Removable = 2;
inline constexpr std::uint32_t Fixed = 3;
inline constexpr std::uint32_t Remote = 4;
inline constexpr std::uint32_t CdRom = 5;
inline constexpr std::uint32_t RamDisk = 6;
} // namespace drive_type_a

// The codes of the file-system object's DriveType.
namespace fso_drive_type {
inline constexpr int Unknown = 0;
inline constexpr int Removable = 1;
inline constexpr int Fixed = 2;
inline constexpr int Network = 3;
inline constexpr int CdRom = 4;
inline constexpr int RamDisk = 5;
} // namespace fso_drive_type

constexpr std::uint32_t getDriveTypeCode(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Unknown:
        return drive_type_a::Unknown;
    case DriveKind::Removable:
        return drive_type_a::Removable;
    case DriveKind::Fixed:
        return drive_type_a::Fixed;
    case DriveKind::Remote:
        return drive_type_a::Remote;
    case DriveKind::CdRom:
        return drive_type_a::CdRom;
    case DriveKind::RamDisk:
        return drive_type_a::RamDisk;
    }
    return drive_type_a::Unknown;
}

constexpr int fileSystemDriveType(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Unknown:
        return fso_drive_type::Unknown;
    case DriveKind::Removable:
        return fso_drive_type::Removable;
    case DriveKind::Fixed:
        return fso_drive_type::Fixed;
    case DriveKind::Remote:
        return fso_drive_type::Network;
    case DriveKind::CdRom:
        return fso_drive_type::CdRom;
    case DriveKind::RamDisk:
        return fso_drive_type::RamDisk;
    }
    return fso_drive_type::Unknown;
}
