#include "browser/dir_tree_paths.h"

#include "common/texts.h"

namespace {
const QString rootPrefix = QStringLiteral("root");
} // namespace

QString driveKey(QChar letter)
{
    return rootPrefix + QString::number(letter.unicode());
}

bool isDriveKey(const QString &key)
{
    return key.startsWith(rootPrefix);
}

QChar letterOfDriveKey(const QString &key)
{
    if (!isDriveKey(key))
        return {};
    bool ok = false;
    const int code = key.mid(rootPrefix.size()).toInt(&ok);
    if (!ok || code < 'A' || code > 'Z')
        return {};
    return QChar(code);
}

QString driveDesignator(const QString &key)
{
    const QChar letter = letterOfDriveKey(key);
    return letter.isNull() ? QString() : QString(letter) + QLatin1Char(':');
}

std::optional<QString> driveImageKey(std::uint32_t driveType)
{
    switch (driveType) {
    case drive_type_a::Unknown:
        return QStringLiteral("unknown");
    case removableDriveType:
        return QStringLiteral("remove");
    case drive_type_a::Fixed:
        return QStringLiteral("fixed");
    case drive_type_a::Remote:
        return QStringLiteral("remote");
    case drive_type_a::CdRom:
        return QStringLiteral("cd");
    case drive_type_a::RamDisk:
        return QStringLiteral("ram");
    default:
        return std::nullopt;
    }
}

QString removableDriveText(QChar letter)
{
    return QStringLiteral("(%1:)").arg(letter);
}

QString labelledDriveText(QChar letter, const QString &label)
{
    return properCase(label) + QStringLiteral(" (%1:)").arg(letter);
}

QString spokenDriveName(QChar letter, std::uint32_t driveType, const QString &label)
{
    QString kind;
    switch (driveType) {
    case removableDriveType:
        kind = QStringLiteral("removable drive");
        break;
    case drive_type_a::Remote:
        kind = QStringLiteral("network drive");
        break;
    case drive_type_a::CdRom:
        kind = QStringLiteral("CD-ROM drive");
        break;
    case drive_type_a::RamDisk:
        kind = QStringLiteral("RAM disk");
        break;
    default:
        kind = QStringLiteral("drive");
    }
    const QString name = kind + QStringLiteral(" %1:").arg(letter);
    return label.trimmed().isEmpty() ? name : properCase(label) + QStringLiteral(", ") + name;
}

QString folderPath(const QString &driveKey, const QStringList &realNames)
{
    QString path = driveDesignator(driveKey);
    for (const QString &name : realNames)
        path = joinPath(path, name);
    return path;
}

QString withTrailingSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('\\')) ? path : path + QLatin1Char('\\');
}
