#pragma once

#include "encoder/worker_protocol.h"

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QEventLoop;

// Kills a worker and leaves it to end in its own time: nothing on the caller's thread waits
// for it (a process stuck in the kernel, on a hung network share, dies only when its I/O
// returns). The process object goes once the process has ended, at the latest with the
// program; afterEnd runs when it has ended (at once when it was not running).
void letWorkerGo(std::unique_ptr<QProcess> process, std::function<void()> afterEnd = {});

// How long a killed worker may take to end before its caller stops waiting for it.
inline constexpr int WorkerKillGraceMs = 5000;

// One short run of the worker whose end the caller waits for: the handshake when the
// encoder is created, and the reading of an input's duration. The caller is the window's
// thread, so the wait is a nested event loop: the window keeps painting, and its clicks
// (the stop button, closing the window) run meanwhile. The worker's stdin stays open for
// as long as the run lasts, since the worker takes its end for its host having gone away.
class WorkerRun
{
public:
    enum class End {
        Finished,      // the worker ended by itself; exitCode is its exit code
        Crashed,       // a signal ended it; exitCode is the signal
        TimedOut,      // the time limit passed; the worker was killed
        Cancelled,     // cancel() or abandon() came, or the program is quitting
        FailedToStart, // startError says why
    };
    struct Result
    {
        End end = End::Finished;
        int exitCode = 0;
        QString startError;
        QList<worker_protocol::Line> lines;
        bool abandoned = false; // abandon() came: the run's owner no longer exists
    };

    WorkerRun(QString worker, QStringList arguments);
    ~WorkerRun();
    WorkerRun(const WorkerRun &) = delete;
    WorkerRun &operator=(const WorkerRun &) = delete;

    // Starts the worker and returns once it has ended; a worker still running at the time
    // limit or at a cancel is killed first.
    Result wait(int timeoutMs);
    // For handlers that run inside the wait: ends it soon, killing the worker.
    void cancel();
    // As cancel(), for an owner that is being destroyed: the caller of wait() must then not
    // touch that owner any more.
    void abandon();
    // The worker's process id while it runs, otherwise 0.
    qint64 processId() const;

private:
    void watchProcess(QEventLoop &loop);
    void endWith(End end);
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);

    QString m_worker;
    QStringList m_arguments;
    std::unique_ptr<QProcess> m_process;
    QEventLoop *m_loop = nullptr;
    Result m_result;
    bool m_ended = false;    // the end is decided (m_result.end holds it)
    bool m_finished = false; // the process has ended (or never started)
    QByteArray m_output;
};
