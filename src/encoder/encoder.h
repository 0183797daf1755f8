#pragma once

#include "encoder/encoder_backend.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class MediaEncoder;

// Codes of the encoder's state-change notification.
enum EncoderStateCode : qint32 {
    EncoderStarting = 1,
    EncoderRunning = 2,
    EncoderStopping = 4,
    EncoderStopped = 5,
};

// Types of a source group's sources.
enum SourceType : int { SourceAudio = 1, SourceVideo = 2 };

// One profile of the encoder's profile collection.
class EncoderProfile
{
public:
    explicit EncoderProfile(ProfileSettings settings)
        : m_settings(std::move(settings))
    {}
    QString name() const { return m_settings.name; }
    const ProfileSettings &settings() const { return m_settings; }

private:
    ProfileSettings m_settings;
};

// The profiles the encoder offers, in a stable order, index 0 to count - 1.
class ProfileCollection
{
public:
    int count() const { return static_cast<int>(m_profiles.size()); }
    // Fails for an index outside 0 .. count - 1.
    const EncoderProfile &item(int index) const;

private:
    friend class MediaEncoder;
    std::vector<std::unique_ptr<EncoderProfile>> m_profiles;
};

// A video or audio source of a source group.
class EncoderSource
{
public:
    EncoderSource(MediaEncoder &encoder, int type);

    int type() const { return m_type; }
    // The full input path, then two texts the program leaves empty.
    void setInput(const QString &path, const QString &scheme = {}, const QString &initData = {});
    QString input() const { return m_input; }
    // The input's native path, when the caller has translated it already (empty: the encoder
    // translates input() itself). A later setInput forgets it.
    void setNativeInput(const QString &nativePath) { m_nativeInput = nativePath; }
    QString nativeInput() const { return m_nativeInput; }
    // 0 = one-pass, 1 = two-pass encoding (read from the audio source). Fails otherwise.
    void setPreprocessPass(qint16 passes);
    qint16 preprocessPass() const { return m_preprocessPass; }
    // The input's duration in milliseconds, available after the set-up switch.
    qint32 duration() const;

private:
    MediaEncoder &m_encoder;
    int m_type;
    QString m_input;
    QString m_nativeInput;
    qint16 m_preprocessPass = 0;
};

class EncoderSourceGroup
{
public:
    EncoderSourceGroup(MediaEncoder &encoder, QString name);

    QString name() const { return m_name; }
    // Adds the source of a type (2 video, 1 audio); fails for another type or a second
    // source of the same type.
    EncoderSource &addSource(int type);
    EncoderSource *source(int type) const;
    void setProfile(const EncoderProfile &profile);
    const EncoderProfile *profile() const { return m_profile; }

private:
    MediaEncoder &m_encoder;
    QString m_name;
    std::vector<std::unique_ptr<EncoderSource>> m_sources;
    const EncoderProfile *m_profile = nullptr;
};

class SourceGroupCollection
{
public:
    explicit SourceGroupCollection(MediaEncoder &encoder)
        : m_encoder(encoder)
    {}
    // Adds a new, empty group; fails for an empty name or one already taken.
    EncoderSourceGroup &add(const QString &name);
    int count() const { return static_cast<int>(m_groups.size()); }
    EncoderSourceGroup &item(int index) const;

private:
    MediaEncoder &m_encoder;
    std::vector<std::unique_ptr<EncoderSourceGroup>> m_groups;
};

class OutputFile
{
public:
    // The output path, and its native path when the caller has translated it already (empty:
    // the encoder translates the path itself).
    void setLocalFileName(const QString &path, const QString &nativePath = {})
    {
        m_localFileName = path;
        m_nativeFileName = nativePath;
    }
    QString localFileName() const { return m_localFileName; }
    QString nativeFileName() const { return m_nativeFileName; }

private:
    QString m_localFileName;
    QString m_nativeFileName;
};

// The encoder the program drives file by file. Paths are in Windows form. Every failing
// operation throws an Error with a description. State changes arrive queued, on the thread
// the encoder lives on: 1 starting, 2 running, 4 stopping, 5 stopped (at the end of the
// input, after a stop, and after a failure, whose description lastFailure() then holds).
//
// Reading the input's duration at the set-up switch waits in a nested event loop, so the
// window's handlers run meanwhile: stop() then ends the read, and the set-up fails with
// "Stopped before converting C:\in\clip.mpg."; a second set-up or a start fails while the
// read lasts; destroying the encoder ends it too.
class MediaEncoder : public QObject
{
    Q_OBJECT
public:
    explicit MediaEncoder(std::unique_ptr<EncoderBackend> backend, QObject *parent = nullptr);
    ~MediaEncoder() override;

    SourceGroupCollection &sourceGroupCollection() { return m_groups; }
    ProfileCollection &profileCollection() { return m_profiles; }
    OutputFile &file() { return m_file; }

    // The set-up switch. True: takes the first source group's input, profile and pass count
    // and the output file, and reads the input's duration; a started encode then stops by
    // itself at the end of the input. A failed set-up leaves the encoder not prepared.
    void prepareToEncode(bool prepare);
    // Starts the prepared job and returns at once; fails when the set-up switch has not
    // prepared one (each set-up reads the input once, and start never does).
    void start();
    // Ends a running encode properly, or a duration read at once; does nothing when idle.
    // Never fails.
    void stop();

    EncoderStatistics statistics() const;
    // Why the last encode failed; empty when it finished well. Read after state 5.
    QString lastFailure() const { return m_lastFailure; }
    // For a file that finished well, what the user should still hear of, such as
    // "converted in one pass: <reason>" when two passes could not reach the profile's bit
    // rate; otherwise empty. Read after state 5.
    QString lastNotice() const { return m_lastNotice; }
    // Whether a stop ended the last set-up or encode, and what it left: nothing (while the
    // input's duration was read, or in the first of two passes; lastFailure() or the set-up's
    // error then says "Stopped before converting ..."), or the part converted so far under
    // the output's name.
    enum class StopOutcome { NotStopped, BeforeOutput, PartKept };
    StopOutcome lastStop() const { return m_lastStop; }
    qint32 state() const { return m_state; }
    bool isPrepared() const { return m_job.has_value(); }

    qint32 preparedDurationMs() const;

signals:
    void stateChanged(qint32 state);

private:
    void setState(qint32 state);
    void onFinished(JobEnd end, const QString &failure, const QString &notice);
    EncodeJob jobFromSetup() const;
    qint64 readDuration(const EncodeJob &job);
    void checkNotReading() const;

    std::unique_ptr<EncoderBackend> m_backend;
    SourceGroupCollection m_groups{*this};
    ProfileCollection m_profiles;
    OutputFile m_file;
    std::optional<EncodeJob> m_job;
    qint64 m_durationMs = 0;
    qint32 m_state = 0; // idle, never started
    bool m_busy = false;
    bool m_starting = false;              // inside the backend's start()
    const EncodeJob *m_reading = nullptr; // the job whose duration is being read
    bool m_readStopped = false;           // stop() came while it was read
    QString m_lastFailure;
    QString m_lastNotice;
    StopOutcome m_lastStop = StopOutcome::NotStopped;
};
