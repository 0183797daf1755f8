#pragma once

#include "encoder/encoder.h"

#include <QList>

#include <functional>

inline QStringList kestrelProfileNames()
{
    return {"Kestrel High", "Kestrel Low", "Kestrel Medium"};
}

// A stand-in for the engine where a test must force timing or faults. It records the jobs
// it is given; the test decides when a job runs, what the statistics say and how it ends.
class ScriptedBackend : public EncoderBackend
{
    Q_OBJECT
public:
    explicit ScriptedBackend(QStringList profileNames = kestrelProfileNames());

    QList<ProfileSettings> profiles() override;
    qint64 readDurationMs(const EncodeJob &job) override;
    void start(const EncodeJob &job) override;
    void stop() override;
    EncoderStatistics statistics() const override { return m_statistics; }

    // ---- the script ----
    void setDurationMs(qint64 ms) { m_durationMs = ms; }
    void failDurationWith(const QString &description) { m_durationFailure = description; }
    void failStartWith(const QString &description) { m_startFailure = description; }
    // Runs at the start of each duration read (and may throw, as a failing read does).
    std::function<void(const EncodeJob &job)> duringDurationRead;
    // A started job runs and ends when the test calls run() and finish(); a stop ends it.
    void setStatistics(const EncoderStatistics &statistics) { m_statistics = statistics; }
    void run() { emit running(); }
    // notice: what a file that ended well tells the user ("converted in one pass: ...").
    void finish(const QString &failure = {}, const QString &notice = {});
    // How a stop ends a job: by default with the part converted so far kept.
    void setStopEnd(JobEnd end) { m_stopEnd = end; }

    // ---- what happened ----
    const QList<EncodeJob> &started() const { return m_started; }
    const QList<EncodeJob> &durationReads() const { return m_durationReads; }
    bool isActive() const { return m_active; }

private:
    QStringList m_profileNames;
    qint64 m_durationMs = 60000;
    QString m_durationFailure;
    QString m_startFailure;
    EncoderStatistics m_statistics;
    QList<EncodeJob> m_started;
    QList<EncodeJob> m_durationReads;
    bool m_active = false; // started and not yet finished
    JobEnd m_stopEnd = JobEnd::Stopped;
};
