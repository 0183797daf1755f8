#include "scripted_backend.h"

#include "common/error.h"

#include <QTimer>

ScriptedBackend::ScriptedBackend(QStringList profileNames)
    : m_profileNames(std::move(profileNames))
{}

QList<ProfileSettings> ScriptedBackend::profiles()
{
    QList<ProfileSettings> result(m_profileNames.size());
    for (qsizetype i = 0; i < result.size(); ++i)
        result[i].name = m_profileNames[i];
    return result;
}

qint64 ScriptedBackend::readDurationMs(const EncodeJob &job)
{
    m_durationReads.append(job);
    if (duringDurationRead)
        duringDurationRead(job);
    if (!m_durationFailure.isEmpty())
        throw Error(m_durationFailure);
    return m_durationMs;
}

void ScriptedBackend::start(const EncodeJob &job)
{
    if (!m_startFailure.isEmpty())
        throw Error(m_startFailure);
    m_started.append(job);
    m_statistics = {};
    m_active = true;
}

void ScriptedBackend::stop()
{
    if (m_active)
        QTimer::singleShot(0, this, [this] {
            if (!m_active)
                return;
            m_active = false;
            const bool nothingMade = m_stopEnd == JobEnd::StoppedBeforeOutput;
            const QString input = m_started.last().inputShown;
            emit finished(m_stopEnd, nothingMade ? stoppedBeforeConverting(input) : QString(), {});
        });
}

void ScriptedBackend::finish(const QString &failure, const QString &notice)
{
    m_active = false;
    emit finished(failure.isEmpty() ? JobEnd::Finished : JobEnd::Failed, failure, notice);
}
