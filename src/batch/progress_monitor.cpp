#include "batch/progress_monitor.h"

#include "common/rounding.h"
#include "common/texts.h"

#include <algorithm>
#include <limits>

namespace {

qint64 floorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

qint32 clampedToInt32(qint64 value)
{
    return static_cast<qint32>(std::clamp<qint64>(
            value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

// Thousands, rounded halves to even, kept wide: sizes and bit rates of long files go far
// beyond what a 16-bit number holds.
qint64 thousands(qint64 value)
{
    return roundHalfEven(static_cast<double>(value) / 1000.0);
}

} // namespace

QString timeLeftText(qint64 secondsLeft)
{
    const qint64 hours = floorDiv(secondsLeft, 3600);
    const qint64 minutes = floorDiv(secondsLeft, 60) - 60 * hours;
    const qint64 seconds = secondsLeft - 60 * minutes - 3600 * hours;
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':')
           + twoDigits(seconds);
}

ProgressTexts progressTexts(const EncoderStatistics &statistics, qint32 durationSec)
{
    ProgressTexts texts;
    const qint32 encodedSec = clampedToInt32(thousands(statistics.archiveMs));
    texts.size = QStringLiteral("Size: ") + decimalText(thousands(statistics.archiveBytes))
                 + QStringLiteral(" Kb");
    texts.duration = QStringLiteral("Duration: ") + decimalText(encodedSec) + QStringLiteral(" s");
    texts.bitRate = QStringLiteral("Current bit rate: ")
                    + decimalText(thousands(statistics.bitRate)) + QStringLiteral(" Kbps");
    if (durationSec == 0)
        return texts;

    // The written media can outlast the measured duration; the line and the bar are made
    // for 0 to 100 per cent and a time left of zero or more.
    const double share = static_cast<double>(encodedSec) / durationSec * 100.0;
    const auto percentDone = static_cast<qint32>(std::clamp<qint64>(roundHalfEven(share), 0, 100));
    const qint32 secondsLeft
            = std::max<qint32>(clampedToInt32(qint64(durationSec) - encodedSec), 0);
    texts.percentDone = percentDone;
    texts.status = QStringLiteral("Status: encoding, ") + decimalText(percentDone)
                   + QStringLiteral(" % complete, time left: ") + timeLeftText(secondsLeft);
    return texts;
}
