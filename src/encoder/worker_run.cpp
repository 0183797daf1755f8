#include "encoder/worker_run.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void letWorkerGo(std::unique_ptr<QProcess> process, std::function<void()> afterEnd)
{
    if (!process)
        return;
    process->disconnect();
    if (process->state() == QProcess::NotRunning) {
        if (afterEnd)
            afterEnd();
        return;
    }
    process->kill();
    QProcess *ending = process.release();
    ending->setParent(QCoreApplication::instance());
    QObject::connect(ending, &QProcess::finished, ending, [ending, afterEnd = std::move(afterEnd)] {
        if (afterEnd)
            afterEnd();
        ending->deleteLater();
    });
}

WorkerRun::WorkerRun(QString worker, QStringList arguments)
    : m_worker(std::move(worker))
    , m_arguments(std::move(arguments))
    , m_process(std::make_unique<QProcess>())
{
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

WorkerRun::~WorkerRun()
{
    letWorkerGo(std::move(m_process));
}

WorkerRun::Result WorkerRun::wait(int timeoutMs)
{
    QEventLoop loop;
    m_loop = &loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [this] { endWith(End::TimedOut); });
    watchProcess(loop);
    m_process->start(m_worker, m_arguments);
    limit.start(timeoutMs);
    if (!m_finished)
        loop.exec();
    m_loop = nullptr;
    if (!m_finished) // the program is quitting, which ends every event loop
        endWith(End::Cancelled);
    m_output += m_process->readAllStandardOutput();
    for (const QByteArray &line : m_output.split('\n')) {
        if (!line.trimmed().isEmpty())
            m_result.lines.append(worker_protocol::parse(line));
    }
    return m_result;
}

// The connections go with the loop.
void WorkerRun::watchProcess(QEventLoop &loop)
{
    QObject::connect(m_process.get(), &QProcess::readyReadStandardOutput, &loop, [this] {
        m_output += m_process->readAllStandardOutput();
    });
    QObject::connect(m_process.get(), &QProcess::finished, &loop, [this](int code, auto status) {
        onFinished(code, status);
    });
    QObject::connect(m_process.get(), &QProcess::errorOccurred, &loop, [this](auto error) {
        onError(error);
    });
}

void WorkerRun::cancel()
{
    endWith(End::Cancelled);
}

void WorkerRun::abandon()
{
    m_result.abandoned = true;
    cancel();
}

qint64 WorkerRun::processId() const
{
    return m_process && !m_finished ? m_process->processId() : 0;
}

// The first end counts; a killed worker is waited for a little, so it is gone when the
// run's result is known.
void WorkerRun::endWith(End end)
{
    if (m_finished || m_ended)
        return;
    m_ended = true;
    m_result.end = end;
    m_process->kill();
    if (m_loop)
        QTimer::singleShot(WorkerKillGraceMs, m_loop, &QEventLoop::quit);
}

void WorkerRun::onFinished(int exitCode, QProcess::ExitStatus status)
{
    m_finished = true;
    if (!m_ended) {
        m_ended = true;
        m_result.end = status == QProcess::CrashExit ? End::Crashed : End::Finished;
        m_result.exitCode = exitCode;
    }
    if (m_loop)
        m_loop->quit();
}

void WorkerRun::onError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return; // the end itself comes through finished()
    m_finished = true;
    m_ended = true;
    m_result.end = End::FailedToStart;
    m_result.startError = m_process->errorString();
    if (m_loop)
        m_loop->quit();
}
