#include "as_nobody.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

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
    const QString files = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C") + "/Program Files";
    // Links followed, so that nothing points back into the build folder.
    if (!copy.isValid() || !QDir().mkpath(driveC) || !QFile::copy(program, ownCopy)
        || QProcess::execute(QStringLiteral("cp"), {"-rL", files, driveC}) != 0
        || QProcess::execute(QStringLiteral("chmod"), {"-R", "a+rX", copy.path()}) != 0)
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
                  QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", ownCopy}
                          + arguments);
    NobodyRun run;
    const bool ended = process.waitForFinished(120000);
    if (!ended)
        process.kill();
    process.waitForFinished();
    run.errors = process.readAllStandardError();
    if (ended && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    return run;
}
