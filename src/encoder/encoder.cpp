#include "encoder/encoder.h"

#include "common/error.h"
#include "platform/win_paths.h"

#include <QPointer>

#include <limits>
#include <optional>

const EncoderProfile &ProfileCollection::item(int index) const
{
    if (index < 0 || index >= count())
        throw Error(QStringLiteral("There is no profile number %1; the encoder has %2 profiles.")
                            .arg(index)
                            .arg(count()));
    return *m_profiles[static_cast<size_t>(index)];
}

EncoderSource::EncoderSource(MediaEncoder &encoder, int type)
    : m_encoder(encoder)
    , m_type(type)
{}

void EncoderSource::setInput(const QString &path, const QString &, const QString &)
{
    m_input = path;
    m_nativeInput.clear();
}

void EncoderSource::setPreprocessPass(qint16 passes)
{
    if (passes != 0 && passes != 1)
        throw Error(
                QStringLiteral("%1 is not a number of preprocessing passes (0 or 1).").arg(passes));
    m_preprocessPass = passes;
}

qint32 EncoderSource::duration() const
{
    return m_encoder.preparedDurationMs();
}

EncoderSourceGroup::EncoderSourceGroup(MediaEncoder &encoder, QString name)
    : m_encoder(encoder)
    , m_name(std::move(name))
{}

EncoderSource &EncoderSourceGroup::addSource(int type)
{
    if (type != SourceAudio && type != SourceVideo)
        throw Error(QStringLiteral("%1 is not a source type (1 audio, 2 video).").arg(type));
    if (source(type))
        throw Error(QStringLiteral("The source group %1 already has a source of type %2.")
                            .arg(m_name)
                            .arg(type));
    m_sources.push_back(std::make_unique<EncoderSource>(m_encoder, type));
    return *m_sources.back();
}

EncoderSource *EncoderSourceGroup::source(int type) const
{
    for (const auto &s : m_sources) {
        if (s->type() == type)
            return s.get();
    }
    return nullptr;
}

void EncoderSourceGroup::setProfile(const EncoderProfile &profile)
{
    m_profile = &profile;
}

EncoderSourceGroup &SourceGroupCollection::add(const QString &name)
{
    if (name.isEmpty())
        throw Error(QStringLiteral("A source group needs a name."));
    for (const auto &group : m_groups) {
        if (group->name() == name)
            throw Error(QStringLiteral("There is already a source group named %1.").arg(name));
    }
    m_groups.push_back(std::make_unique<EncoderSourceGroup>(m_encoder, name));
    return *m_groups.back();
}

EncoderSourceGroup &SourceGroupCollection::item(int index) const
{
    if (index < 0 || index >= count())
        throw Error(QStringLiteral("There is no source group number %1.").arg(index));
    return *m_groups[static_cast<size_t>(index)];
}

MediaEncoder::MediaEncoder(std::unique_ptr<EncoderBackend> backend, QObject *parent)
    : QObject(parent)
    , m_backend(std::move(backend))
{
    for (ProfileSettings &settings : m_backend->profiles())
        m_profiles.m_profiles.push_back(std::make_unique<EncoderProfile>(std::move(settings)));
    connect(m_backend.get(), &EncoderBackend::running, this, [this] { setState(EncoderRunning); });
    connect(m_backend.get(), &EncoderBackend::finished, this, &MediaEncoder::onFinished);
}

// Without a stop nobody asked for a partial file: the backend, going with this encoder,
// abandons a running file and ends a duration read.
MediaEncoder::~MediaEncoder() = default;

EncodeJob MediaEncoder::jobFromSetup() const
{
    if (m_groups.count() == 0)
        throw Error(QStringLiteral("The encoder has no source group to encode."));
    const EncoderSourceGroup &group = m_groups.item(0);
    const EncoderSource *video = group.source(SourceVideo);
    const EncoderSource *audio = group.source(SourceAudio);
    const EncoderSource *main = video ? video : audio;
    if (!main || main->input().isEmpty())
        throw Error(QStringLiteral("No input file has been given to the encoder."));
    if (video && audio && video->input() != audio->input())
        throw Error(
                QStringLiteral(
                        "The video source (%1) and the audio source (%2) must name the same file.")
                        .arg(video->input(), audio->input()));
    if (!group.profile())
        throw Error(QStringLiteral("No profile has been chosen for the source group %1.")
                            .arg(group.name()));
    if (m_file.localFileName().isEmpty())
        throw Error(QStringLiteral("No output file has been given to the encoder."));

    EncodeJob job;
    job.inputShown = main->input();
    job.outputShown = m_file.localFileName();
    job.profile = group.profile()->settings();
    job.passes = (audio && audio->preprocessPass() == 1) ? 2 : 1;
    job.input = main->nativeInput();
    job.output = m_file.nativeFileName();
    try {
        if (job.input.isEmpty())
            job.input = toNativePath(job.inputShown);
    } catch (const Error &e) {
        throw Error(QStringLiteral("Cannot open the input %1: %2")
                            .arg(job.inputShown, e.description()));
    }
    try {
        if (job.output.isEmpty())
            job.output = toNativePath(job.outputShown);
    } catch (const Error &e) {
        throw Error(QStringLiteral("Cannot write the output %1: %2")
                            .arg(job.outputShown, e.description()));
    }
    return job;
}

void MediaEncoder::checkNotReading() const
{
    if (m_reading)
        throw Error(QStringLiteral("The encoder is busy reading %1.").arg(m_reading->inputShown));
}

void MediaEncoder::prepareToEncode(bool prepare)
{
    checkNotReading();
    if (m_busy)
        throw Error(QStringLiteral("The encoder is busy with %1.")
                            .arg(m_job ? m_job->inputShown : QString()));
    m_job.reset();
    m_durationMs = 0;
    m_lastStop = StopOutcome::NotStopped;
    if (!prepare)
        return;
    EncodeJob job = jobFromSetup();
    m_durationMs = readDuration(job);
    m_job = std::move(job);
}

// A handler that runs inside the read may stop it, or even destroy this encoder: then the
// file is stopped, whatever the read came to, and nothing of a destroyed encoder is touched.
qint64 MediaEncoder::readDuration(const EncodeJob &job)
{
    const QPointer<MediaEncoder> alive(this);
    m_reading = &job;
    m_readStopped = false;
    std::optional<qint64> durationMs;
    QString failure;
    try {
        durationMs = m_backend->readDurationMs(job);
    } catch (const Error &e) {
        failure = e.description();
    }
    if (!alive)
        throw Error(stoppedBeforeConverting(job.inputShown));
    m_reading = nullptr;
    if (m_readStopped) {
        m_lastStop = StopOutcome::BeforeOutput;
        throw Error(stoppedBeforeConverting(job.inputShown));
    }
    if (!durationMs)
        throw Error(failure);
    return *durationMs;
}

qint32 MediaEncoder::preparedDurationMs() const
{
    if (!m_job)
        throw Error(
                QStringLiteral("The input's duration is known only after the encoder was set up."));
    return static_cast<qint32>(std::min<qint64>(m_durationMs, std::numeric_limits<qint32>::max()));
}

void MediaEncoder::start()
{
    checkNotReading();
    if (m_busy)
        throw Error(QStringLiteral("The encoder is already running."));
    if (!m_job)
        throw Error(QStringLiteral(
                "The encoder has not been set up for a file, so there is nothing to convert."));
    m_lastFailure.clear();
    m_lastNotice.clear();
    m_lastStop = StopOutcome::NotStopped;
    // Busy before the backend is asked, as it may end the job before it returns (a worker
    // that cannot be started at all); that end is then told after the start.
    m_busy = true;
    m_starting = true;
    try {
        m_backend->start(*m_job);
    } catch (const Error &) {
        m_busy = false;
        m_starting = false;
        throw;
    }
    m_starting = false;
    setState(EncoderStarting);
}

void MediaEncoder::stop()
{
    if (m_reading) {
        m_readStopped = true;
        m_backend->stop();
        return;
    }
    if (!m_busy)
        return;
    setState(EncoderStopping);
    m_backend->stop();
}

EncoderStatistics MediaEncoder::statistics() const
{
    return m_backend->statistics();
}

void MediaEncoder::onFinished(JobEnd end, const QString &failure, const QString &notice)
{
    if (m_starting) {
        QMetaObject::invokeMethod(
                this,
                [this, end, failure, notice] { onFinished(end, failure, notice); },
                Qt::QueuedConnection);
        return;
    }
    m_busy = false;
    if (end == JobEnd::Stopped)
        m_lastStop = StopOutcome::PartKept;
    else if (end == JobEnd::StoppedBeforeOutput)
        m_lastStop = StopOutcome::BeforeOutput;
    m_job.reset();
    m_lastFailure = failure;
    m_lastNotice = failure.isEmpty() ? notice : QString();
    setState(EncoderStopped);
}

void MediaEncoder::setState(qint32 state)
{
    m_state = state;
    QMetaObject::invokeMethod(
            this, [this, state] { emit stateChanged(state); }, Qt::QueuedConnection);
}
