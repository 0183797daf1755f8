#include "scripted_backend.h"

#include "common/error.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

ScriptedBackend::ScriptedBackend(QStringList profileNames)
    : m_profileNames(std::move(profileNames))
{}

ScriptedBackend::~ScriptedBackend()
{
    // A held read ends with this backend: its caller sees it stopped.
    if (m_readWait)
        m_readWait->quit();
}

QList<ProfileSettings> ScriptedBackend::profiles()
{
    QList<ProfileSettings> result;
    for (const QString &name : std::as_const(m_profileNames)) {
        ProfileSettings settings;
        settings.name = name;
        result.append(settings);
    }
    return result;
}

qint64 ScriptedBackend::readDurationMs(const EncodeJob &job)
{
    m_durationReads.append(job);
    if (m_holdReads) {
        const QPointer<ScriptedBackend> alive(this);
        QEventLoop wait;
        m_readWait = &wait;
        m_readStopped = false;
        wait.exec();
        if (!alive)
            throw Error(stoppedBeforeConverting(job.inputShown));
        m_readWait = nullptr;
        if (m_readStopped)
            throw Error(stoppedBeforeConverting(job.inputShown));
    }
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

void ScriptedBackend::releaseDurationRead()
{
    if (m_readWait)
        m_readWait->quit();
}

void ScriptedBackend::stop()
{
    ++m_stops;
    if (m_readWait) {
        m_readStopped = true;
        m_readWait->quit();
        return;
    }
    if (m_active)
        QTimer::singleShot(0, this, [this] {
            if (m_active)
                finish();
        });
}

void ScriptedBackend::run()
{
    emit running();
}

void ScriptedBackend::finish(const QString &failure, const QString &notice)
{
    m_active = false;
    emit finished(failure, notice);
}

std::unique_ptr<MediaEncoder> scriptedEncoder(ScriptedBackend **backend, QStringList profileNames)
{
    auto owned = std::make_unique<ScriptedBackend>(std::move(profileNames));
    if (backend)
        *backend = owned.get();
    return std::make_unique<MediaEncoder>(std::move(owned));
}
