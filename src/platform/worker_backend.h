#pragma once

#include "platform/encoder_backend.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

// The program's encoder backend: every piece of media work runs in a worker process
// (WMEncWorker, which loads the engine module WMEncEng.dll) started from the encoder
// folder, so that a crash or abort inside FFmpeg ends that file only. A two-pass encode
// whose worker dies is redone in one pass.
class WorkerBackend : public EncoderBackend
{
    Q_OBJECT
public:
    // nativeFolder: the encoder folder; shownFolder: the same in the program's Windows form,
    // for messages. Checks that the module and the worker are there and answer; fails with
    // "The encoder engine could not be loaded: ..." otherwise.
    WorkerBackend(const QString &nativeFolder, const QString &shownFolder);
    ~WorkerBackend() override;

    QList<ProfileSettings> profiles() override;
    qint64 readDurationMs(const EncodeJob &job) override;
    void start(const EncodeJob &job) override;
    void stop() override;
    EncoderStatistics statistics() const override { return m_statistics; }

    // The running worker's process id, 0 when none runs.
    qint64 workerProcessId() const;

    // How long a worker may take to read an input's duration, and to end after a stop.
    static constexpr int ProbeTimeoutMs = 30000;
    static constexpr int StopGraceMs = 15000;

private:
    struct Run; // the result of a worker run to its end
    Run runToEnd(const QStringList &arguments, int timeoutMs) const;
    void handshake(const QString &shownFolder) const;
    QString makeTemporary(const EncodeJob &job);
    void launch(int passes);
    void readLines();
    void onWorkerFinished(int exitCode, QProcess::ExitStatus status);
    void onWorkerError(QProcess::ProcessError error);
    QString unexpectedEnd() const;
    void endJob(const QString &failure);

    QString m_folder;
    QString m_worker;
    std::unique_ptr<QProcess> m_process;
    std::optional<EncodeJob> m_job;
    QString m_temporary;
    int m_passes = 1;
    bool m_redone = false; // the two-pass worker died; this is the one-pass redo
    bool m_stopAsked = false;
    bool m_announced = false; // running() was emitted for this job
    bool m_done = false;      // the worker said "done"
    QString m_failure;        // the worker's own failure description
    QByteArray m_pending;     // an incomplete line from the worker
    EncoderStatistics m_statistics;
    QTimer m_stopDeadline;
};
