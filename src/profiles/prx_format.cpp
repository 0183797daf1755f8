#include "profiles/prx_format.h"

#include "common/atomic_file.h"
#include "common/error.h"
#include "common/step_over.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace {

const QString Heading = QStringLiteral("[Clipferry Profile]");
const QStringList RequiredKeys = {
        QStringLiteral("Version"),
        QStringLiteral("Name"),
        QStringLiteral("VideoSize"),
        QStringLiteral("FrameRate"),
        QStringLiteral("VideoBitRate"),
        QStringLiteral("KeyFrameSeconds"),
        QStringLiteral("AudioBitRate"),
        QStringLiteral("SampleRate"),
        QStringLiteral("Channels"),
};

[[noreturn]] void fail(const QString &where, const QString &reason)
{
    throw Error(QStringLiteral("%1: %2").arg(where, reason));
}

QHash<QString, QString> readPairs(const QString &text, const QString &where)
{
    QHash<QString, QString> pairs;
    bool headed = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (!headed) {
            if (line != Heading)
                fail(where,
                     QStringLiteral("this is not a Clipferry profile (it does not begin with %1)")
                             .arg(Heading));
            headed = true;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            fail(where, QStringLiteral("line %1 is not of the form Key=Value").arg(i + 1));
        pairs.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    if (!headed)
        fail(where, QStringLiteral("the file is empty"));
    for (const QString &key : RequiredKeys) {
        if (!pairs.contains(key))
            fail(where, QStringLiteral("the value %1 is missing").arg(key));
    }
    return pairs;
}

int wholeNumber(const QHash<QString, QString> &pairs, const QString &key, const QString &where)
{
    bool ok = false;
    const int value = pairs.value(key).toInt(&ok);
    if (!ok)
        fail(where,
             QStringLiteral("%1 must be a whole number, not \"%2\"").arg(key, pairs.value(key)));
    return value;
}

double number(const QHash<QString, QString> &pairs, const QString &key, const QString &where)
{
    bool ok = false;
    const double value = pairs.value(key).toDouble(&ok);
    if (!ok)
        fail(where, QStringLiteral("%1 must be a number, not \"%2\"").arg(key, pairs.value(key)));
    return value;
}

void readVideoSize(const QString &text, ProfileSettings &profile, const QString &where)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okWidth = false;
    bool okHeight = false;
    if (parts.size() == 2) {
        profile.width = parts[0].trimmed().toInt(&okWidth);
        profile.height = parts[1].trimmed().toInt(&okHeight);
    }
    if (!okWidth || !okHeight)
        fail(where,
             QStringLiteral("VideoSize must be width x height, such as 320x240, not \"%1\"")
                     .arg(text));
}

QString formatNumber(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

ProfileSettings parseProfile(const QString &text, const QString &where)
{
    const QHash<QString, QString> pairs = readPairs(text, where);
    if (pairs.value(QStringLiteral("Version")) != QLatin1String("1"))
        fail(where,
             QStringLiteral("the profile is of version %1; this program reads version 1")
                     .arg(pairs.value(QStringLiteral("Version"))));
    ProfileSettings profile;
    profile.name = pairs.value(QStringLiteral("Name"));
    profile.description = pairs.value(QStringLiteral("Description"));
    readVideoSize(pairs.value(QStringLiteral("VideoSize")), profile, where);
    profile.maxFrameRate = number(pairs, QStringLiteral("FrameRate"), where);
    profile.videoBitRate = wholeNumber(pairs, QStringLiteral("VideoBitRate"), where);
    profile.keyFrameSeconds = number(pairs, QStringLiteral("KeyFrameSeconds"), where);
    profile.audioBitRate = wholeNumber(pairs, QStringLiteral("AudioBitRate"), where);
    profile.sampleRate = wholeNumber(pairs, QStringLiteral("SampleRate"), where);
    profile.channels = wholeNumber(pairs, QStringLiteral("Channels"), where);
    validateProfile(profile, where);
    return profile;
}

ProfileSettings readProfileFile(const QString &nativePath)
{
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly))
        fail(nativePath, file.errorString());
    return parseProfile(QString::fromUtf8(file.readAll()), nativePath);
}

QString profileText(const ProfileSettings &p)
{
    QStringList lines = {
            QStringLiteral("; Clipferry encoder profile"),
            Heading,
            QStringLiteral("Version=1"),
            QStringLiteral("Name=") + p.name,
            QStringLiteral("Description=") + p.description,
            QStringLiteral("VideoSize=%1x%2").arg(p.width).arg(p.height),
            QStringLiteral("FrameRate=") + formatNumber(p.maxFrameRate),
            QStringLiteral("VideoBitRate=%1").arg(p.videoBitRate),
            QStringLiteral("KeyFrameSeconds=") + formatNumber(p.keyFrameSeconds),
            QStringLiteral("AudioBitRate=%1").arg(p.audioBitRate),
            QStringLiteral("SampleRate=%1").arg(p.sampleRate),
            QStringLiteral("Channels=%1").arg(p.channels),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void writeProfileFile(const QString &nativePath, const ProfileSettings &profile)
{
    validateProfile(profile, nativePath);
    writeFileAtomically(nativePath, profileText(profile).toUtf8(), ExistingFile::Replace);
}

void createProfileFile(const QString &nativePath, const ProfileSettings &profile)
{
    validateProfile(profile, nativePath);
    writeFileAtomically(nativePath, profileText(profile).toUtf8(), ExistingFile::Refuse);
}

QStringList profileFileNames(const QString &nativeFolder)
{
    QStringList names = QDir(nativeFolder).entryList({QStringLiteral("*.prx")}, QDir::Files);
    std::sort(names.begin(), names.end(), profileFileOrder);
    return names;
}

bool profileFileOrder(const QString &a, const QString &b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

QList<ProfileSettings> profilesInFolder(const QString &nativeFolder)
{
    const QStringList names = profileFileNames(nativeFolder);
    QList<ProfileSettings> profiles;
    // A malformed profile is left out of the list; the others stay usable.
    for (const QString &name : names)
        stepOver([&] { profiles.append(readProfileFile(QDir(nativeFolder).filePath(name))); });
    return profiles;
}
