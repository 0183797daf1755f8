#include "encoder/worker_backend.h"

#include "common/encoder_folder.h"
#include "common/error.h"
#include "common/temporary_file.h"
#include "encoder/program_file_check.h"
#include "encoder/worker_protocol.h"
#include "platform/native_names.h"
#include "profiles/prx_format.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using worker_protocol::Line;
using worker_protocol::LineKind;

namespace {
const QString ModuleName = QString::fromLatin1(encoder_folder::ModuleFile);
const QString WorkerName = QString::fromLatin1(encoder_folder::WorkerFile);

[[noreturn]] void notLoaded(const QString &reason)
{
    throw Error(QStringLiteral("The encoder engine could not be loaded: %1").arg(reason));
}

// The shared temporary form with the encoder's ending: its length does not depend on the
// output's name, so every name the file system allows for the output leaves room for it, and
// a card's clean-up knows it as ours.
QString temporaryName()
{
    return QString::fromLatin1(newTemporaryName(partialSuffix));
}

void removeTemporary(const QString &nativePath)
{
    if (!nativePath.isEmpty())
        ::unlink(toNativeBytes(nativePath).constData());
}

// How a worker ended that should not have: "its worker process was ended by signal 9
// (Killed)", "its worker process ended with exit code 3".
QString workerEnd(bool crashed, int exitCode)
{
    if (crashed)
        return QStringLiteral("its worker process was ended by signal %1 (%2)")
                .arg(exitCode)
                .arg(QString::fromLocal8Bit(::strsignal(exitCode)));
    if (exitCode != 0)
        return QStringLiteral("its worker process ended with exit code %1").arg(exitCode);
    return QStringLiteral("its worker process ended before the file was finished");
}
} // namespace

WorkerBackend::WorkerBackend(const QString &nativeFolder, const QString &shownFolder)
    : m_folder(nativeFolder)
    , m_shownFolder(shownFolder)
    , m_worker(QDir(nativeFolder).filePath(WorkerName))
{
    m_stopDeadline.setSingleShot(true);
    connect(&m_stopDeadline, &QTimer::timeout, this, &WorkerBackend::endUnstoppedWorker);
    m_killDeadline.setSingleShot(true);
    connect(&m_killDeadline, &QTimer::timeout, this, &WorkerBackend::giveUpWorker);
    handshake();
}

// Without a stop, the job's file is abandoned: its worker is killed, its temporary removed,
// now and once more when the worker has ended (it might still have been making it).
WorkerBackend::~WorkerBackend()
{
    if (m_run)
        m_run->abandon();
    letWorkerGo(std::move(m_process), [temporary = m_temporary] { removeTemporary(temporary); });
    removeTemporary(m_temporary);
}

QString WorkerBackend::engineFile(const QString &name) const
{
    return m_shownFolder + QLatin1Char('\\') + name;
}

// A damaged engine file is named as such before a worker tries to load it.
QString WorkerBackend::damagedEngineFile() const
{
    for (const QString &name : {ModuleName, WorkerName}) {
        if (const QString damage = programFileDamage(QDir(m_folder).filePath(name));
            !damage.isEmpty())
            return QStringLiteral("%1 is damaged: %2.").arg(engineFile(name), damage);
    }
    return {};
}

void WorkerBackend::handshake()
{
    for (const QString &name : {ModuleName, WorkerName}) {
        if (!QFileInfo::exists(QDir(m_folder).filePath(name)))
            notLoaded(QStringLiteral("%1 is missing.").arg(engineFile(name)));
    }
    if (const QString damaged = damagedEngineFile(); !damaged.isEmpty())
        notLoaded(damaged);
    WorkerRun run(m_worker, {QString::fromLatin1(worker_protocol::HelloCommand)});
    const WorkerRun::Result result = run.wait(HandshakeTimeoutMs);
    if (result.end == WorkerRun::End::FailedToStart)
        notLoaded(QStringLiteral("%1 does not start (%2).")
                          .arg(engineFile(WorkerName), result.startError));
    for (const Line &line : result.lines) {
        if (line.kind == LineKind::Ready)
            return;
        if (line.kind == LineKind::Failed)
            notLoaded(QStringLiteral("%1: %2").arg(engineFile(ModuleName), line.reason));
    }
    if (result.end == WorkerRun::End::Finished)
        notLoaded(QStringLiteral("%1 does not answer as expected.").arg(engineFile(WorkerName)));
    if (result.end == WorkerRun::End::Crashed) {
        // The file may have been damaged while the worker loaded it.
        if (const QString damaged = damagedEngineFile(); !damaged.isEmpty())
            notLoaded(damaged);
        notLoaded(QStringLiteral("%1 stopped unexpectedly while loading %2: %3.")
                          .arg(engineFile(WorkerName),
                               engineFile(ModuleName),
                               workerEnd(true, result.exitCode)));
    }
    notLoaded(QStringLiteral("%1 does not answer.").arg(engineFile(WorkerName)));
}

QList<ProfileSettings> WorkerBackend::profiles()
{
    return builtInProfiles()
           + profilesInFolder(
                   QDir(m_folder).filePath(QString::fromLatin1(encoder_folder::ProfilesFolder)));
}

qint64 WorkerBackend::readDurationMs(const EncodeJob &job)
{
    if (m_run || m_process)
        throw Error(QStringLiteral("The encoder is busy with another file."));
    WorkerRun run(m_worker, worker_protocol::probeArguments(job));
    m_run = &run;
    const WorkerRun::Result result = run.wait(ProbeTimeoutMs);
    if (result.abandoned) // this backend is gone
        throw Error(stoppedBeforeConverting(job.inputShown));
    m_run = nullptr;
    return durationFrom(result, job);
}

qint64 WorkerBackend::durationFrom(const WorkerRun::Result &result, const EncodeJob &job) const
{
    for (const Line &line : result.lines) {
        if (line.kind == LineKind::Duration)
            return line.durationMs;
        if (line.kind == LineKind::Failed)
            throw Error(worker_protocol::describeFailure(
                    line.subject, line.reason, job, engineFile(ModuleName)));
    }
    switch (result.end) {
    case WorkerRun::End::Cancelled:
        throw Error(stoppedBeforeConverting(job.inputShown));
    case WorkerRun::End::FailedToStart:
        notLoaded(QStringLiteral("%1 does not start (%2).")
                          .arg(engineFile(WorkerName), result.startError));
    case WorkerRun::End::TimedOut:
        throw Error(
                QStringLiteral(
                        "Cannot read the input %1: the encoder did not answer within %2 seconds.")
                        .arg(job.inputShown)
                        .arg(ProbeTimeoutMs / 1000));
    default:
        if (const QString damaged = damagedEngineFile(); !damaged.isEmpty())
            notLoaded(damaged);
        throw Error(
                QStringLiteral("The encoder stopped unexpectedly while reading %1: %2.")
                        .arg(job.inputShown,
                             workerEnd(result.end == WorkerRun::End::Crashed, result.exitCode)));
    }
}

// The output is written under a hidden name in the output folder (so a failure never
// damages an existing file of the final name); creating it here shows at once whether the
// folder can be written to.
QString WorkerBackend::makeTemporary(const EncodeJob &job) const
{
    const QString folder = job.output.left(job.output.lastIndexOf(QLatin1Char('/')) + 1);
    for (int attempt = 0; attempt < 10; ++attempt) {
        QString path = folder + temporaryName();
        const int fd = ::open(
                toNativeBytes(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            throw Error(QStringLiteral("Cannot write the output %1: %2")
                                .arg(job.outputShown, systemReason(errno)));
    }
    throw Error(QStringLiteral("Cannot write the output %1: no temporary name is free.")
                        .arg(job.outputShown));
}

void WorkerBackend::start(const EncodeJob &job)
{
    if (m_process || m_run)
        throw Error(QStringLiteral("The encoder is already running."));
    m_temporary = makeTemporary(job);
    m_job = job;
    m_redoReason.clear();
    m_stopAsked = false;
    m_statistics = {};
    launch(job.passes);
}

void WorkerBackend::launch(int passes)
{
    m_passes = passes;
    m_done = false;
    m_notices.clear();
    m_failure.reset();
    m_pending.clear();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process.get(), &QProcess::started, this, [this] {
        // A job is announced once: its one-pass redo runs on unannounced.
        if (m_redoReason.isEmpty())
            emit running();
        if (m_stopAsked)
            m_process->write(worker_protocol::stopLine());
    });
    connect(m_process.get(), &QProcess::readyReadStandardOutput, this, &WorkerBackend::readLines);
    connect(m_process.get(), &QProcess::finished, this, &WorkerBackend::onWorkerFinished);
    connect(m_process.get(), &QProcess::errorOccurred, this, &WorkerBackend::onWorkerError);
    m_process->start(m_worker, worker_protocol::encodeArguments(*m_job, m_temporary, passes));
}

void WorkerBackend::readLines()
{
    m_pending += m_process->readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const Line line = worker_protocol::parse(m_pending.left(end));
        m_pending.remove(0, end + 1);
        if (line.kind == LineKind::Stats) {
            m_statistics = line.statistics;
        } else if (line.kind == LineKind::Done) {
            m_done = true;
        } else if (line.kind == LineKind::Failed) {
            m_failure = line;
        } else if (line.kind == LineKind::Notice) {
            m_notices.append(line.reason);
        }
    }
}

void WorkerBackend::stop()
{
    if (m_run) {
        m_run->cancel();
        return;
    }
    if (!m_process || m_stopAsked)
        return;
    m_stopAsked = true;
    if (m_process->state() == QProcess::Running)
        m_process->write(worker_protocol::stopLine());
    m_stopDeadline.start(StopGraceMs);
}

void WorkerBackend::onWorkerFinished(int exitCode, QProcess::ExitStatus status)
{
    readLines();
    m_stopDeadline.stop();
    m_killDeadline.stop();
    m_process.release()->deleteLater();
    // The engine's own word that the final pass cannot reach the bit rate, said before
    // libavcodec aborts the worker: only then is the file made in one pass.
    if (m_failure && m_failure->subject == worker_protocol::FailureSubject::TwoPassTarget
        && m_passes == 2 && !m_stopAsked) {
        redoInOnePass();
        return;
    }
    if (m_done && status == QProcess::NormalExit && exitCode == 0) {
        QStringList remarks = m_notices;
        if (!m_redoReason.isEmpty())
            remarks.prepend(QStringLiteral("converted in one pass: ") + m_redoReason);
        endJob(m_stopAsked ? JobEnd::Stopped : JobEnd::Finished,
               {},
               remarks.join(QStringLiteral("; ")));
        return;
    }
    if (m_failure) {
        const bool beforeOutput
                = m_failure->subject == worker_protocol::FailureSubject::StoppedBeforeOutput;
        endJob(beforeOutput ? JobEnd::StoppedBeforeOutput : JobEnd::Failed,
               worker_protocol::describeFailure(
                       m_failure->subject, m_failure->reason, *m_job, engineFile(ModuleName)));
        return;
    }
    const QString damaged = status == QProcess::CrashExit ? damagedEngineFile() : QString();
    endJob(JobEnd::Failed,
           damaged.isEmpty()
                   ? unexpectedEnd(exitCode, status)
                   : QStringLiteral("The encoder engine could not be loaded: ") + damaged);
}

// A worker that does not end after its stop is killed; one that does not even end then (held
// in the kernel by a file system that does not answer) is left to end in its own time, and
// the file is given up, so the batch goes on.
void WorkerBackend::endUnstoppedWorker()
{
    if (!m_process)
        return;
    m_process->kill();
    m_killDeadline.start(WorkerKillGraceMs);
}

void WorkerBackend::giveUpWorker()
{
    if (!m_process)
        return;
    letWorkerGo(std::move(m_process), [temporary = m_temporary] { removeTemporary(temporary); });
    endJob(JobEnd::Failed,
           QStringLiteral("The encoder stopped unexpectedly while converting %1: its worker "
                          "process did not end when it was stopped.")
                   .arg(m_job->inputShown));
}

void WorkerBackend::redoInOnePass()
{
    m_redoReason = m_failure->reason;
    removeTemporary(m_temporary);
    try {
        m_temporary = makeTemporary(*m_job);
    } catch (const Error &e) {
        m_temporary.clear();
        endJob(JobEnd::Failed, e.description());
        return;
    }
    m_statistics = {};
    launch(1);
}

// "The encoder stopped unexpectedly while converting C:\in\clip.mpg (pass 2 of 2): its
// worker process was ended by signal 9 (Killed)."
QString WorkerBackend::unexpectedEnd(int exitCode, QProcess::ExitStatus status) const
{
    QString stage;
    if (!m_redoReason.isEmpty())
        stage = QStringLiteral(" (in one pass, as two passes were not possible)");
    else if (m_passes == 2)
        stage = QStringLiteral(" (pass %1 of 2)").arg(std::max(1, m_statistics.pass));
    return QStringLiteral("The encoder stopped unexpectedly while converting %1%2: %3.")
            .arg(m_job->inputShown, stage, workerEnd(status == QProcess::CrashExit, exitCode));
}

void WorkerBackend::onWorkerError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return; // the end itself comes through finished()
    const QString reason = m_process->errorString();
    m_process.release()->deleteLater();
    endJob(JobEnd::Failed,
           QStringLiteral("The encoder engine could not be loaded: %1 does not start (%2).")
                   .arg(engineFile(WorkerName), reason));
}

void WorkerBackend::endJob(JobEnd end, const QString &failure, const QString &notice)
{
    if (!failure.isEmpty())
        removeTemporary(m_temporary);
    m_temporary.clear();
    emit finished(end, failure, notice);
}

qint64 WorkerBackend::workerProcessId() const
{
    if (m_run)
        return m_run->processId();
    return m_process ? m_process->processId() : 0;
}
