#include "as_nobody.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Copies a tree's files (links followed) with their permissions.
bool copyTree(const QString &from, const QString &to)
{
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

bool openToAll(const QString &folder)
{
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                     | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                     | QFileDevice::ExeOther;
    bool done = QFile::setPermissions(folder, all);
    QDirIterator folders(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (folders.hasNext())
        done &= QFile::setPermissions(folders.next(), all);
    return done;
}

// A sanitizer build's leak suppressions live in the checkout, which may be closed too.
QString withOwnSuppressions(const QString &options, const QString &folder)
{
    static const QString key = QStringLiteral("suppressions=");
    QStringList parts = options.split(QLatin1Char(':'));
    for (QString &part : parts) {
        if (!part.startsWith(key))
            continue;
        const QString copy = folder + QStringLiteral("/lsan.supp");
        QFile::copy(part.mid(key.size()), copy);
        part = key + copy;
    }
    return parts.join(QLatin1Char(':'));
}

} // namespace

NobodyRun runAsNobody(const QString &program, const QStringList &arguments)
{
    QTemporaryDir copy(QDir::tempPath() + QStringLiteral("/cf-nobody-XXXXXX"));
    const QString driveC = copy.filePath(QStringLiteral("drive_c"));
    const QString ownCopy = copy.filePath(QFileInfo(program).fileName());
    const QString built = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
    const QString files = QStringLiteral("/Program Files");
    if (!copy.isValid() || !QFile::copy(program, ownCopy)
        || !copyTree(built + files, driveC + files) || !openToAll(copy.path()))
        return {};

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CLIPFERRY_BUILD_DRIVE_C"), driveC);
    if (environment.contains(QStringLiteral("LSAN_OPTIONS")))
        environment.insert(QStringLiteral("LSAN_OPTIONS"),
                           withOwnSuppressions(environment.value(QStringLiteral("LSAN_OPTIONS")),
                                               copy.path()));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(copy.path());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral("setpriv"),
                  QStringList{QStringLiteral("--reuid=nobody"),
                              QStringLiteral("--regid=nogroup"),
                              QStringLiteral("--clear-groups"),
                              ownCopy}
                          + arguments);
    NobodyRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.errors = process.readAllStandardError();
        return run;
    }
    run.exitCode = process.exitCode();
    run.errors = process.readAllStandardError();
    return run;
}
