#include "platform/win_paths.h"

#include "common/error.h"
#include "platform/machine.h"
#include "platform/native_names.h"

#include <QDir>
#include <QFileInfo>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool exists(const QString &nativePath)
{
    struct stat info = {};
    return ::stat(toNativeBytes(nativePath).constData(), &info) == 0;
}

// Looks for a name that differs only in letter case; the name itself when there is none.
QString caseInsensitiveMatch(const QString &folder, const QString &name)
{
    DIR *const dir = ::opendir(toNativeBytes(folder).constData());
    if (!dir)
        return name;
    QString found;
    while (const dirent *entry = ::readdir(dir)) {
        const QString other = fromNativeBytes(entry->d_name);
        if (other.compare(name, Qt::CaseInsensitive) != 0 || other == QLatin1String(".")
            || other == QLatin1String(".."))
            continue;
        if (!found.isEmpty()) {
            ::closedir(dir);
            return name; // ambiguous: keep the name as given
        }
        found = other;
    }
    ::closedir(dir);
    return found.isEmpty() ? name : found;
}

// "." is dropped and ".." never climbs above the drive's root.
QStringList cleanParts(const QStringList &parts)
{
    QStringList clean;
    for (const QString &part : parts) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!clean.isEmpty())
                clean.removeLast();
            continue;
        }
        clean.append(part);
    }
    return clean;
}

QString joinNative(const QString &root, const QStringList &parts)
{
    if (parts.isEmpty())
        return root;
    return (root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'))
           + parts.join(QLatin1Char('/'));
}

// Walks the path name by name, taking a name that differs only in letter case where the
// name itself is missing; from the first name with no match on, names are kept as given.
QString resolveLetterCase(const QString &root, const QStringList &parts)
{
    QString native = root;
    bool found = true;
    for (const QString &part : parts) {
        const QString base = native.endsWith(QLatin1Char('/')) ? native : native + QLatin1Char('/');
        QString candidate = base + part;
        if (found && !exists(candidate)) {
            candidate = base + caseInsensitiveMatch(native, part);
            found = exists(candidate);
        }
        native = candidate;
    }
    return native;
}

struct NativeParts
{
    QString root;
    QStringList parts;
};

NativeParts nativeParts(Machine &machine, const QString &windowsPath)
{
    if (!isFullWindowsPath(windowsPath))
        throw Error(
                QStringLiteral("\"%1\" is not a full path with a drive letter.").arg(windowsPath));
    const QChar letter = windowsPath[0].toUpper();
    std::optional<Drive> drive = machine.drives().cachedFind(letter);
    if (!drive)
        drive = machine.drives().find(letter); // a drive that came since the table was read
    if (!drive)
        throw Error(QStringLiteral("There is no drive %1: on this computer.").arg(letter));
    if (drive->volume.nativeRoot.isEmpty())
        throw Error(QStringLiteral("Drive %1: is not ready.").arg(letter));
    return {QDir::cleanPath(drive->volume.nativeRoot),
            cleanParts(windowsPath.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts))};
}

} // namespace

bool isFullWindowsPath(const QString &path)
{
    return path.size() >= 2 && path[0].isLetter() && path[0].unicode() < 128
           && path[1] == QLatin1Char(':') && (path.size() == 2 || path[2] == QLatin1Char('\\'));
}

QString toNativePathAsWritten(Machine &machine, const QString &windowsPath)
{
    const NativeParts path = nativeParts(machine, windowsPath);
    return joinNative(path.root, path.parts);
}

QString toNativePath(Machine &machine, const QString &windowsPath)
{
    const NativeParts path = nativeParts(machine, windowsPath);
    QString literal = joinNative(path.root, path.parts);
    // One look at the file system for the usual case of a path that exists as written.
    if (path.parts.isEmpty() || QFileInfo::exists(literal))
        return literal;
    return resolveLetterCase(path.root, path.parts);
}

QString toNativePath(const QString &windowsPath)
{
    return toNativePath(Machine::current(), windowsPath);
}

QString toWindowsPath(Machine &machine, const QString &nativePath)
{
    const QString clean = QDir::cleanPath(QFileInfo(nativePath).absoluteFilePath());
    const std::optional<Drive> drive = machine.drives().cachedDriveOfNative(clean);
    if (!drive)
        throw Error(
                QStringLiteral("The folder %1 is on no drive of this computer.").arg(nativePath));
    QString rest = clean.mid(QDir::cleanPath(drive->volume.nativeRoot).size());
    if (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    return QString(drive->letter) + QStringLiteral(":\\")
           + rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString toWindowsPath(const QString &nativePath)
{
    return toWindowsPath(Machine::current(), nativePath);
}
