#include "common/texts.h"

QString joinCrLf(const QStringList &lines)
{
    return lines.join(CrLf);
}

QString decimalText(std::int64_t value)
{
    return QString::number(static_cast<qlonglong>(value));
}

QString joinPath(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('\\') + name;
}

QString nameInPath(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString properCase(const QString &text)
{
    QString result = text;
    bool startOfWord = true;
    for (QChar &c : result) {
        if (c.isSpace()) {
            startOfWord = true;
            continue;
        }
        c = startOfWord ? c.toUpper() : c.toLower();
        startOfWord = false;
    }
    return result;
}
