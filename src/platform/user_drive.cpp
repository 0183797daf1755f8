#include "platform/user_drive.h"

#include "common/atomic_file.h"
#include "common/error.h"
#include "platform/copy_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class UserDriveSetup
{
public:
    UserDriveSetup(const QString &installedRoot, const QString &userRoot)
        : m_installed(QDir::cleanPath(QDir(installedRoot).absolutePath()))
        , m_user(QDir::cleanPath(QDir(userRoot).absolutePath()))
    {}

    void run()
    {
        makeFolder(m_user);
        mirrorFolder(QString());
        removeStaleLinks();
    }

private:
    [[noreturn]] void fail(const QString &what, const QString &path, int errnoValue) const
    {
        throw Error(QStringLiteral("Cannot set up your own C: drive in %1: cannot %2 %3: %4")
                            .arg(m_user, what, path, systemReason(errnoValue)));
    }
    [[noreturn]] void fail(const QString &what, const QString &path, const QString &reason) const
    {
        throw Error(QStringLiteral("Cannot set up your own C: drive in %1: cannot %2 %3: %4")
                            .arg(m_user, what, path, reason));
    }

    static QString join(const QString &relative, const QString &name)
    {
        return relative.isEmpty() ? name : relative + QLatin1Char('/') + name;
    }

    void makeFolder(const QString &path) const
    {
        const QByteArray name = QFile::encodeName(path);
        struct stat info;
        if (::stat(name.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                fail(QStringLiteral("make the folder"), path, ENOTDIR);
            return;
        }
        const QString parent = QFileInfo(path).path();
        if (parent != path)
            makeFolder(parent);
        if (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST)
            fail(QStringLiteral("make the folder"), path, errno);
    }

    void mirrorFolder(const QString &relative) const
    {
        const QFileInfoList entries = QDir(join(m_installed, relative))
                                              .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                                     | QDir::Hidden | QDir::System,
                                                             QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString path = join(relative, entry.fileName());
            if (relative.isEmpty() && entry.fileName() == QLatin1String(sharedDriveMarker))
                continue;
            if (entry.isDir()) {
                makeFolder(join(m_user, path));
                mirrorFolder(path);
            } else if (relative == userdrive::profileFolder) {
                copyIfMissing(entry.absoluteFilePath(), join(m_user, path));
            } else if (path == userdrive::profileEditor) {
                writeEditorLauncher(entry.absoluteFilePath(), join(m_user, path));
            } else {
                linkTo(entry.absoluteFilePath(), join(m_user, path));
            }
        }
    }

    // A link already in place is pointed at the installed file; a real file of the user's
    // own under that name is left alone. Two windows started at once set up the same drive:
    // what the other one made in the meantime is as good as made here.
    void linkTo(const QString &target, const QString &link) const
    {
        const QByteArray linkName = QFile::encodeName(link);
        const QByteArray targetName = QFile::encodeName(target);
        struct stat info;
        if (::lstat(linkName.constData(), &info) == 0) {
            if (!S_ISLNK(info.st_mode) || readLink(linkName) == targetName)
                return;
            if (::unlink(linkName.constData()) != 0 && errno != ENOENT)
                fail(QStringLiteral("replace the link"), link, errno);
        }
        if (::symlink(targetName.constData(), linkName.constData()) == 0)
            return;
        const int failure = errno;
        if (failure != EEXIST || readLink(linkName) != targetName)
            fail(QStringLiteral("make the link"), link, failure);
    }

    static QByteArray readLink(const QByteArray &link)
    {
        QByteArray buffer(4096, '\0');
        const ssize_t length = ::readlink(link.constData(), buffer.data(), buffer.size());
        return length < 0 ? QByteArray() : buffer.left(length);
    }

    void copyIfMissing(const QString &source, const QString &copy) const
    {
        struct stat info;
        if (::lstat(QFile::encodeName(copy).constData(), &info) == 0)
            return;
        const QFileInfo target(copy);
        FolderCopy copying(source, target.absolutePath(), target.fileName());
        copying.keepExistingFile();
        // Another start of the program may have made it meanwhile.
        if (copying.run() != FolderCopy::Outcome::Copied && copying.error() != EEXIST)
            fail(QStringLiteral("copy the profile"), source, copying.error());
        // The installed file is read-only for the user; the copy is theirs to edit.
        QFile::setPermissions(copy, QFile::permissions(source) | QFile::WriteOwner);
    }

    // Rewritten only when it changed, so an unchanged installation costs one read.
    void writeEditorLauncher(const QString &editor, const QString &launcher) const
    {
        const QByteArray script = QByteArrayLiteral("#!/bin/sh\n"
                                                    "# Clipferry's profile editor on this user's "
                                                    "own profile folder.\n")
                                  + "exec " + shellQuoted(editor) + " --profiles "
                                  + shellQuoted(join(m_user, userdrive::profileFolder))
                                  + " \"$@\"\n";
        const QByteArray name = QFile::encodeName(launcher);
        struct stat info;
        if (::lstat(name.constData(), &info) == 0) {
            if (S_ISREG(info.st_mode) && contentOf(launcher) == script)
                return;
            // A link into the shared installation goes first: nothing of that is touched.
            if (S_ISLNK(info.st_mode) && ::unlink(name.constData()) != 0)
                fail(QStringLiteral("replace the link"), launcher, errno);
        }
        if (const int failure = tryWriteFileAtomically(launcher, script, ExistingFile::Replace))
            fail(QStringLiteral("write the launcher"), launcher, failure);
        QFile::setPermissions(launcher,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                      | QFile::ExeOther);
    }

    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray shellQuoted(const QString &text)
    {
        QByteArray quoted = QFile::encodeName(text);
        quoted.replace('\'', "'\\''");
        return '\'' + quoted + '\'';
    }

    // Links to files that a newer installation dropped or moved lead nowhere: remove them.
    void removeStaleLinks() const
    {
        QDirIterator it(m_user,
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            if (!entry.isSymLink() || entry.exists())
                continue;
            if (::unlink(QFile::encodeName(entry.filePath()).constData()) != 0 && errno != ENOENT)
                fail(QStringLiteral("remove the stale link"), entry.filePath(), errno);
        }
    }

    QString m_installed;
    QString m_user;
};

} // namespace

bool isSharedDriveC(const QString &driveCRoot)
{
    if (QFileInfo::exists(driveCRoot + QLatin1Char('/') + QLatin1String(sharedDriveMarker)))
        return true;
    return ::access(QFile::encodeName(driveCRoot).constData(), W_OK) != 0;
}

QString userDriveCRoot()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        throw Error(QStringLiteral("Cannot set up your own C: drive: there is no data folder "
                                   "for your user (set HOME or XDG_DATA_HOME)."));
    return data + QStringLiteral("/clipferry/drive_c");
}

void prepareUserDriveC(const QString &installedRoot, const QString &userRoot)
{
    UserDriveSetup(installedRoot, userRoot).run();
}
