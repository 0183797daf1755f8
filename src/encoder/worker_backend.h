#pragma once

#include "encoder/encoder_backend.h"
#include "encoder/worker_run.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

// The program's encoder backend: every piece of media work runs in a worker process
// (WMEncWorker, which loads the engine module WMEncEng.dll) started from the encoder
// folder, so that a crash or abort inside FFmpeg ends that file only. A two-pass encode
// whose final pass cannot reach the profile's bit rate is made in one pass instead, and
// the finished() notice says so; a worker that dies for any other reason fails its file.
class WorkerBackend : public EncoderBackend
{
    Q_OBJECT
public:
    // nativeFolder: the encoder folder; shownFolder: the same in the program's Windows form,
    // for messages. Checks that the module and the worker are there and answer; fails with
    // "The encoder engine could not be loaded: ..." (naming the file) otherwise.
    WorkerBackend(const QString &nativeFolder, const QString &shownFolder);
    ~WorkerBackend() override;

    QList<ProfileSettings> profiles() override;
    qint64 readDurationMs(const EncodeJob &job) override;
    void start(const EncodeJob &job) override;
    void stop() override;
    EncoderStatistics statistics() const override { return m_statistics; }

    // The process id of the worker that runs (an encode's, or a duration read's), 0 when none.
    qint64 workerProcessId() const;

    // How long a worker may take to answer the handshake, to read an input's duration, and
    // to end after a stop.
    static constexpr int HandshakeTimeoutMs = 20000;
    static constexpr int ProbeTimeoutMs = 30000;
    static constexpr int StopGraceMs = 15000;

private:
    void handshake();
    QString damagedEngineFile() const;
    qint64 durationFrom(const WorkerRun::Result &result, const EncodeJob &job) const;
    QString makeTemporary(const EncodeJob &job) const;
    void launch(int passes);
    void readLines();
    void onWorkerFinished(int exitCode, QProcess::ExitStatus status);
    void onWorkerError(QProcess::ProcessError error);
    void redoInOnePass();
    void endUnstoppedWorker();
    void giveUpWorker();
    QString unexpectedEnd(int exitCode, QProcess::ExitStatus status) const;
    QString engineFile(const QString &name) const;
    void endJob(JobEnd end, const QString &failure, const QString &notice = {});

    QString m_folder;
    QString m_shownFolder;
    QString m_worker;
    WorkerRun *m_run = nullptr; // the duration read or handshake being waited for
    std::unique_ptr<QProcess> m_process;
    std::optional<EncodeJob> m_job;
    QString m_temporary;
    int m_passes = 1;
    QString m_redoReason; // why two passes could not be: this is the one-pass redo
    bool m_stopAsked = false;
    bool m_done = false;   // the worker said "done"
    QStringList m_notices; // the worker's remarks on the file it made ("notice" lines)
    std::optional<worker_protocol::Line> m_failure; // the worker's own word of its failure
    QByteArray m_pending;                           // an incomplete line from the worker
    EncoderStatistics m_statistics;
    QTimer m_stopDeadline;
    QTimer m_killDeadline;
};
