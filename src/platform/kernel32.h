#pragma once

#include <QString>

#include <cstdint>

// The two kernel calls the program makes, answered from the current machine.

// The type of the drive whose root is given ("C:\"): 0 unknown, 1 no such root,
// 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
std::uint32_t GetDriveTypeA(const QString &rootPathName);

// Writes the Windows folder ("C:\Windows") into the buffer and returns the number of
// characters written; when the buffer is too small, writes nothing and returns the size
// needed, terminating zero included.
std::uint32_t GetWindowsDirectoryA(char *buffer, std::uint32_t size);
