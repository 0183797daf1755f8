#include "profile_editor/profile_folder.h"

#include "common/error.h"
#include "profiles/prx_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

// Anything larger is not one of our small text files; reading it whole would be a waste.
constexpr qint64 LargestProfileFile = qint64(64) * 1024;

QString fileNameFor(const QString &profileName)
{
    return profileName + QStringLiteral(".prx");
}

// The name becomes a file name on this machine and on the Windows machines profiles are
// copied to; a leading full stop would hide the file from the encoder's listing.
bool usableAsFileName(const QString &name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    return !name.startsWith(QLatin1Char('.')) && !name.contains(forbidden);
}

ProfileEntry builtIn(const ProfileSettings &profile)
{
    return {ProfileEntry::Kind::BuiltIn, {}, profile, profile, {}};
}

ProfileEntry unusable(const QString &fileName, const QString &problem)
{
    return {ProfileEntry::Kind::Malformed, fileName, {}, {}, problem};
}

} // namespace

ProfileFolder::ProfileFolder(const QString &nativeFolder)
    : m_folder(QDir::cleanPath(nativeFolder))
{}

QString ProfileFolder::pathOf(const QString &fileName) const
{
    return QDir(m_folder).filePath(fileName);
}

void ProfileFolder::load()
{
    m_entries.clear();
    for (const ProfileSettings &profile : builtInProfiles())
        m_entries.append(builtIn(profile));
    for (const QString &fileName : profileFileNames(m_folder))
        m_entries.append(readEntry(fileName));
}

ProfileEntry ProfileFolder::readEntry(const QString &fileName) const
{
    QFile file(pathOf(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return unusable(fileName, fileName + QStringLiteral(": ") + file.errorString());
    if (file.size() > LargestProfileFile)
        return unusable(fileName,
                        fileName + QStringLiteral(": the file is too large to be a profile"));
    try {
        const ProfileSettings profile = parseProfile(QString::fromUtf8(file.readAll()), fileName);
        return {ProfileEntry::Kind::File, fileName, profile, profile, {}};
    } catch (const Error &e) {
        return unusable(fileName, e.description());
    }
}

bool ProfileFolder::anyModified() const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(), [](const ProfileEntry &entry) {
        return entry.modified();
    });
}

void ProfileFolder::edit(int index, const ProfileSettings &settings)
{
    if (m_entries[index].editable())
        m_entries[index].edited = settings;
}

bool ProfileFolder::revert(int index)
{
    ProfileEntry &entry = m_entries[index];
    if (entry.kind == ProfileEntry::Kind::New) {
        m_entries.removeAt(index);
        return false;
    }
    entry.edited = entry.saved;
    return true;
}

int ProfileFolder::addNew(const ProfileSettings &settings)
{
    m_entries.append({ProfileEntry::Kind::New, {}, {}, settings, {}});
    return count() - 1;
}

QString ProfileFolder::freeName(const QString &wanted) const
{
    const auto free = [&](const QString &name) {
        return !nameTaken(name, -1) && !QFileInfo::exists(pathOf(fileNameFor(name)));
    };
    if (free(wanted))
        return wanted;
    for (int number = 2;; ++number) {
        QString name = QStringLiteral("%1 %2").arg(wanted).arg(number);
        if (free(name))
            return name;
    }
}

bool ProfileFolder::nameTaken(const QString &name, int except) const
{
    for (int i = 0; i < count(); ++i) {
        const ProfileEntry &other = m_entries[i];
        if (i != except && other.kind != ProfileEntry::Kind::Malformed
            && other.edited.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QList<ProfileProblem> ProfileFolder::problems(int index) const
{
    const ProfileEntry &entry = m_entries[index];
    QList<ProfileProblem> found = profileProblems(entry.edited);
    const QString name = entry.edited.name;
    if (!entry.editable() || name.trimmed().isEmpty())
        return found;
    const QString target = fileNameFor(name);
    const bool movesFile = entry.kind == ProfileEntry::Kind::New
                           || (name != entry.saved.name && target != entry.fileName);
    if (!usableAsFileName(name))
        found.prepend({ProfileField::Name,
                       QStringLiteral("a name cannot begin with a full stop or contain any of "
                                      "\\ / : * ? \" < > |")});
    else if (nameTaken(name, index))
        found.prepend({ProfileField::Name,
                       QStringLiteral("another profile is already named \"%1\"").arg(name)});
    else if (movesFile && QFileInfo::exists(pathOf(target)))
        found.prepend(
                {ProfileField::Name,
                 QStringLiteral("the profile folder already holds a file named %1").arg(target)});
    return found;
}

int ProfileFolder::save(int index)
{
    ProfileEntry &entry = m_entries[index];
    const QString name = entry.edited.name;
    const QList<ProfileProblem> found = problems(index);
    if (!entry.editable() || !found.isEmpty())
        throw Error(QStringLiteral("The profile \"%1\" cannot be saved: %2")
                            .arg(name,
                                 found.isEmpty() ? QStringLiteral("it is read only")
                                                 : found.first().reason));
    try {
        QDir().mkpath(m_folder); // a missing folder is made; a failure shows in the write
        const QString target = fileNameFor(name);
        if (entry.kind == ProfileEntry::Kind::New)
            createProfileFile(pathOf(target), entry.edited);
        else if (name == entry.saved.name || target == entry.fileName)
            writeProfileFile(pathOf(entry.fileName), entry.edited);
        else
            renameFile(entry, target);
        if (entry.kind == ProfileEntry::Kind::New)
            entry.fileName = target;
    } catch (const Error &e) {
        throw Error(QStringLiteral("The profile \"%1\" could not be saved.\n%2")
                            .arg(name, e.description()));
    }
    entry.kind = ProfileEntry::Kind::File;
    entry.saved = entry.edited;
    return placeInOrder(index);
}

// The renamed profile is written under its new name first, so that a failure at any step
// leaves the profile in one file or the other, never in neither.
void ProfileFolder::renameFile(ProfileEntry &entry, const QString &target)
{
    const QString old = pathOf(entry.fileName);
    createProfileFile(pathOf(target), entry.edited);
    if (::unlink(QFile::encodeName(old).constData()) != 0) {
        const int failure = errno;
        ::unlink(QFile::encodeName(pathOf(target)).constData());
        throw Error(QStringLiteral("%1: %2").arg(old, systemReason(failure)));
    }
    entry.fileName = target;
}

int ProfileFolder::placeInOrder(int index)
{
    const ProfileEntry entry = m_entries.takeAt(index);
    int at = 0;
    while (at < count()
           && (m_entries[at].kind == ProfileEntry::Kind::BuiltIn
               || (m_entries[at].kind != ProfileEntry::Kind::New
                   && profileFileOrder(m_entries[at].fileName, entry.fileName))))
        ++at;
    m_entries.insert(at, entry);
    return at;
}

void ProfileFolder::remove(int index)
{
    const ProfileEntry &entry = m_entries[index];
    if (entry.kind == ProfileEntry::Kind::BuiltIn || entry.kind == ProfileEntry::Kind::Malformed)
        throw Error(QStringLiteral("Only profiles of the profile folder can be deleted."));
    if (entry.kind == ProfileEntry::Kind::File) {
        const QString path = pathOf(entry.fileName);
        if (::unlink(QFile::encodeName(path).constData()) != 0) {
            const int failure = errno;
            throw Error(QStringLiteral("The profile \"%1\" could not be deleted.\n%2: %3")
                                .arg(entry.saved.name, path, systemReason(failure)));
        }
    }
    m_entries.removeAt(index);
}
