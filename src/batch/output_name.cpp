#include "batch/output_name.h"

namespace {

const QString wmv = QStringLiteral(".wmv");

// The name with every occurrence of the ending replaced, when the name ends in it.
std::optional<QString> replacedEnding(const QString &name, const QString &ending)
{
    if (!name.endsWith(ending, Qt::CaseSensitive))
        return std::nullopt;
    return QString(name).replace(ending, wmv, Qt::CaseSensitive);
}

std::optional<QString> eitherEnding(const QString &name, const char *lower, const char *upper)
{
    if (std::optional<QString> result = replacedEnding(name, QLatin1String(lower)))
        return result;
    return replacedEnding(name, QLatin1String(upper));
}

} // namespace

std::optional<QString> outputNameFor(const QString &inputName)
{
    std::optional<QString> output = eitherEnding(inputName, ".mpg", ".MPG");
    if (!output)
        output = eitherEnding(inputName, ".dat", ".DAT");
    // Looked at in every case: x.mpg.mpeg is named by its last ending only (x.mpg.wmv).
    if (std::optional<QString> mpeg = eitherEnding(inputName, ".mpeg", ".MPEG"))
        output = mpeg;
    return output;
}
