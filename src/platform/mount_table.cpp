#include "platform/mount_table.h"

#include "platform/native_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Decodes "\" + a prefix + digits of a base (the prefix and the number of digits fixed),
// leaving every other character as it is.
QByteArray unescape(const QByteArray &text, const QByteArray &prefix, int digits, int base)
{
    if (!text.contains('\\'))
        return text;
    QByteArray out;
    const qsizetype escapeLength = 1 + prefix.size() + digits;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool isNumber = false;
        const int value = text.mid(i + 1 + prefix.size(), digits).toInt(&isNumber, base);
        if (text[i] == '\\' && i + escapeLength <= text.size()
            && text.mid(i + 1, prefix.size()) == prefix && isNumber && value < 256) {
            out += static_cast<char>(value);
            i += escapeLength - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The mount table writes blanks, tabs, line breaks and backslashes in names as "\" and three
// octal digits ("\040" is a blank).
QString unescapeOctal(const QByteArray &field)
{
    return fromNativeBytes(unescape(field, QByteArray(), 3, 8));
}

// The device manager writes unsafe characters of a label as "\x" and two hex digits.
QString unescapeHex(const QString &name)
{
    return QString::fromUtf8(unescape(QFile::encodeName(name), "x", 2, 16));
}

// "36 35 98:0 /root /mount/point options [optional fields] - type source super-options"
bool parseLine(const QByteArray &line, MountEntry &entry)
{
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype separator = fields.indexOf("-");
    if (fields.size() < 5 || separator < 6 || separator + 2 >= fields.size())
        return false;
    entry.mountPoint = unescapeOctal(fields[4]);
    entry.type = unescapeOctal(fields[separator + 1]);
    entry.device = unescapeOctal(fields[separator + 2]);
    return true;
}

} // namespace

QList<MountEntry> parseMountInfo(const QByteArray &text)
{
    QList<MountEntry> entries;
    QHash<QString, qsizetype> indexOfPoint;
    for (const QByteArray &line : text.split('\n')) {
        MountEntry entry;
        if (!parseLine(line, entry))
            continue;
        // A later line mounts over an earlier one at the same place.
        const qsizetype earlier = indexOfPoint.value(entry.mountPoint, -1);
        if (earlier >= 0)
            entries[earlier].mountPoint.clear();
        indexOfPoint.insert(entry.mountPoint, entries.size());
        entries.append(entry);
    }
    entries.removeIf([](const MountEntry &e) { return e.mountPoint.isEmpty(); });
    return entries;
}

QList<MountEntry> readMountTable()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    // A file of the proc file system tells no size: read until its end.
    return parseMountInfo(table.readAll());
}

QHash<QString, QString> readVolumeLabels(const QString &byLabelFolder)
{
    QHash<QString, QString> labels;
    const QDir folder(byLabelFolder);
    for (const QFileInfo &link : folder.entryInfoList(QDir::System | QDir::Files)) {
        const QString device = link.canonicalFilePath();
        if (!device.isEmpty())
            labels.insert(device, unescapeHex(link.fileName()));
    }
    return labels;
}
