#include "app/get_win_dir.h"
#include "platform/kernel32.h"

#include <QtGlobal>

#include <cstring>

QString GetWinDir()
{
    constexpr std::uint32_t size = 255;
    char buffer[size + 1];
    std::memset(buffer, ' ', size);
    buffer[size] = '\0';
    const auto written = static_cast<qint16>(GetWindowsDirectoryA(buffer, size));
    return QString::fromLocal8Bit(buffer, qBound<qint16>(0, written, size));
}
