#include "platform/encoder_paths.h"

#include "common/encoder_folder.h"

QString encoderFilePath(const QString &driveLetter, const char *name)
{
    QString folder = QString::fromLatin1(encoder_folder::Path);
    folder.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return driveLetter + QStringLiteral(":\\") + folder + QLatin1Char('\\')
           + QString::fromLatin1(name);
}

QString encoderRelativePath(const char *name)
{
    return QString::fromLatin1(encoder_folder::Path) + QLatin1Char('/') + QString::fromLatin1(name);
}
