#include "platform/worker_backend.h"

#include "common/error.h"
#include "platform/worker_protocol.h"
#include "profiles/prx_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

using worker_protocol::Line;

namespace {
const QString ModuleName = QStringLiteral("WMEncEng.dll");
const QString WorkerName = QStringLiteral("WMEncWorker");
constexpr int HandshakeTimeoutMs = 20000;

[[noreturn]] void notLoaded(const QString &reason)
{
    throw Error(QStringLiteral("The encoder engine could not be loaded: %1").arg(reason));
}
} // namespace

struct WorkerBackend::Run
{
    bool started = false;
    bool finished = false; // ended by itself within the time
    bool crashed = false;
    int exitCode = -1;
    QString startError;
    QList<Line> lines;
};

WorkerBackend::WorkerBackend(const QString &nativeFolder, const QString &shownFolder)
    : m_folder(nativeFolder)
    , m_worker(QDir(nativeFolder).filePath(WorkerName))
{
    m_stopDeadline.setSingleShot(true);
    connect(&m_stopDeadline, &QTimer::timeout, this, [this] {
        if (m_process)
            m_process->kill();
    });
    handshake(shownFolder);
}

WorkerBackend::~WorkerBackend()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    if (!m_temporary.isEmpty())
        QFile::remove(m_temporary);
}

WorkerBackend::Run WorkerBackend::runToEnd(const QStringList &arguments, int timeoutMs) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(m_worker, arguments);
    Run run;
    run.started = process.waitForStarted(timeoutMs);
    if (!run.started) {
        run.startError = process.errorString();
        return run;
    }
    process.closeWriteChannel();
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        if (!line.trimmed().isEmpty())
            run.lines.append(worker_protocol::parse(line));
    }
    return run;
}

void WorkerBackend::handshake(const QString &shownFolder) const
{
    for (const QString &name : {ModuleName, WorkerName}) {
        if (!QFileInfo::exists(QDir(m_folder).filePath(name)))
            notLoaded(QStringLiteral("%1\\%2 is missing.").arg(shownFolder, name));
    }
    const Run run = runToEnd({QStringLiteral("hello")}, HandshakeTimeoutMs);
    if (!run.started)
        notLoaded(QStringLiteral("%1\\%2 does not start (%3).")
                          .arg(shownFolder, WorkerName, run.startError));
    for (const Line &line : run.lines) {
        if (line.kind == Line::Ready)
            return;
        if (line.kind == Line::Failed)
            notLoaded(QStringLiteral("%1\\%2: %3").arg(shownFolder, ModuleName, line.reason));
    }
    notLoaded(run.finished
                      ? QStringLiteral("%1\\%2 does not answer as expected.")
                                .arg(shownFolder, WorkerName)
                      : QStringLiteral("%1\\%2 does not answer.").arg(shownFolder, WorkerName));
}

QList<ProfileSettings> WorkerBackend::profiles()
{
    return builtInProfiles()
           + profilesInFolder(QDir(m_folder).filePath(QStringLiteral("Profiles")));
}

qint64 WorkerBackend::readDurationMs(const EncodeJob &job)
{
    const Run run = runToEnd({QStringLiteral("probe"), job.input}, ProbeTimeoutMs);
    for (const Line &line : run.lines) {
        if (line.kind == Line::Duration)
            return line.durationMs;
        if (line.kind == Line::Failed)
            throw Error(worker_protocol::describeFailure(line.subject, line.reason, job));
    }
    if (!run.started)
        notLoaded(run.startError);
    if (!run.finished)
        throw Error(
                QStringLiteral(
                        "Cannot read the input %1: the encoder did not answer within %2 seconds.")
                        .arg(job.inputShown)
                        .arg(ProbeTimeoutMs / 1000));
    throw Error(QStringLiteral("The encoder stopped unexpectedly while reading %1")
                        .arg(job.inputShown));
}

// The output is written under a hidden name in the output folder (so a failure never
// damages an existing file of the final name); creating it here shows at once whether the
// folder can be written to.
QString WorkerBackend::makeTemporary(const EncodeJob &job)
{
    const QFileInfo output(job.output);
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString name = QStringLiteral(".%1.%2.part")
                                     .arg(output.fileName())
                                     .arg(QRandomGenerator::global()->generate() % 1000000,
                                          6,
                                          10,
                                          QLatin1Char('0'));
        QFile file(output.dir().filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            throw Error(QStringLiteral("Cannot write the output %1: %2")
                                .arg(job.outputShown, file.errorString()));
    }
    throw Error(QStringLiteral("Cannot write the output %1: no temporary name is free.")
                        .arg(job.outputShown));
}

void WorkerBackend::start(const EncodeJob &job)
{
    if (m_process)
        throw Error(QStringLiteral("The encoder is already running."));
    m_temporary = makeTemporary(job);
    m_job = job;
    m_redone = false;
    m_stopAsked = false;
    m_announced = false;
    m_statistics = {};
    launch(job.passes);
}

void WorkerBackend::launch(int passes)
{
    m_passes = passes;
    m_done = false;
    m_failure.clear();
    m_pending.clear();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process.get(), &QProcess::started, this, [this] {
        if (!m_announced) {
            m_announced = true;
            emit running();
        }
        if (m_stopAsked)
            m_process->write("stop\n");
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
        if (line.kind == Line::Stats)
            m_statistics = line.statistics;
        else if (line.kind == Line::Done)
            m_done = true;
        else if (line.kind == Line::Failed)
            m_failure = worker_protocol::describeFailure(line.subject, line.reason, *m_job);
    }
}

void WorkerBackend::stop()
{
    if (!m_process || m_stopAsked)
        return;
    m_stopAsked = true;
    if (m_process->state() == QProcess::Running)
        m_process->write("stop\n");
    m_stopDeadline.start(StopGraceMs);
}

QString WorkerBackend::unexpectedEnd() const
{
    if (m_redone)
        return QStringLiteral(
                       "The encoder stopped unexpectedly while converting %1, in two passes and "
                       "again in one pass.")
                .arg(m_job->inputShown);
    return QStringLiteral("The encoder stopped unexpectedly while converting %1")
            .arg(m_job->inputShown);
}

void WorkerBackend::onWorkerFinished(int exitCode, QProcess::ExitStatus status)
{
    readLines();
    m_stopDeadline.stop();
    m_process.release()->deleteLater();
    if (m_done && status == QProcess::NormalExit && exitCode == 0) {
        endJob({});
        return;
    }
    if (!m_failure.isEmpty()) {
        endJob(m_redone ? m_failure
                                  + QStringLiteral(
                                          " (in one pass, after two-pass encoding had stopped "
                                          "unexpectedly)")
                        : m_failure);
        return;
    }
    QFile::remove(m_temporary);
    // libavcodec aborts the process when pass two cannot reach the target bit rate; the
    // file can still be made in one pass.
    if (m_passes == 2 && !m_stopAsked) {
        m_redone = true;
        QFile file(m_temporary);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_statistics = {};
            launch(1);
            return;
        }
    }
    endJob(unexpectedEnd());
}

void WorkerBackend::onWorkerError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return; // the end itself comes through finished()
    const QString reason = m_process->errorString();
    m_process.release()->deleteLater();
    endJob(QStringLiteral("The encoder engine could not be loaded: %1").arg(reason));
}

void WorkerBackend::endJob(const QString &failure)
{
    if (!failure.isEmpty())
        QFile::remove(m_temporary);
    m_temporary.clear();
    emit finished(failure);
}

qint64 WorkerBackend::workerProcessId() const
{
    return m_process ? m_process->processId() : 0;
}
