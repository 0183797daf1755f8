#include "platform/kernel32.h"

#include "platform/machine.h"

#include <cstring>

std::uint32_t GetDriveTypeA(const QString &rootPathName)
{
    const bool isRoot = rootPathName.size() == 3 && rootPathName[0].isLetter()
                        && rootPathName[0].unicode() < 128 && rootPathName[1] == QLatin1Char(':')
                        && rootPathName[2] == QLatin1Char('\\');
    if (!isRoot)
        return drive_type_a::NoRootDir;
    const std::optional<Drive> drive = Machine::current().drives().find(rootPathName[0]);
    return drive ? getDriveTypeCode(drive->volume.kind) : drive_type_a::NoRootDir;
}

std::uint32_t GetWindowsDirectoryA(char *buffer, std::uint32_t size)
{
    const QByteArray folder = Machine::current().windowsDirectory().toLocal8Bit();
    const auto length = static_cast<std::uint32_t>(folder.size());
    if (buffer == nullptr || size <= length)
        return length + 1;
    std::memcpy(buffer, folder.constData(), length);
    buffer[length] = '\0';
    return length;
}
