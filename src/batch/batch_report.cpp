#include "batch/batch_report.h"

#include "common/texts.h"

QString endOfBatchText(const QStringList &notConverted, const QStringList &convertedWithRemarks)
{
    QStringList lines;
    if (!notConverted.isEmpty())
        lines << QStringLiteral("These files were not converted:") << notConverted;
    if (!convertedWithRemarks.isEmpty()) {
        if (!lines.isEmpty())
            lines << QString();
        lines << QStringLiteral("These files were converted, with remarks:")
              << convertedWithRemarks;
    }
    return joinCrLf(lines);
}
