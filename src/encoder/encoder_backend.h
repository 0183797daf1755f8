#pragma once

#include "profiles/profile.h"

#include <QList>
#include <QObject>
#include <QString>

// What the encoder has written so far: the engine's statistics as the worker's "stats" line
// brings them (src/engine/worker_protocol_words.h), under the same names.
struct EncoderStatistics
{
    qint64 archiveBytes = 0; // size of the output so far
    qint64 archiveMs = 0;    // media duration written so far
    qint32 bitRate = 0;      // current bit rate, bits per second
    qint64 frames = 0;       // video frames encoded in the current pass
    int pass = 0;            // 1 or 2 while encoding; in pass one of two nothing is written yet
};

// One file to encode, as the encoder object hands it to the engine.
struct EncodeJob
{
    QString input;      // native path
    QString inputShown; // the path as the program named it, for messages
    QString output;     // native path of the final output file
    QString outputShown;
    ProfileSettings profile;
    int passes = 1; // 1 or 2
};

// What a duration read that stop() ended fails with, and a job that a stop ended before its
// output was written: "Stopped before converting C:\in\clip.mpg."
inline QString stoppedBeforeConverting(const QString &inputShown)
{
    return QStringLiteral("Stopped before converting %1.").arg(inputShown);
}

// How a job ended.
enum class JobEnd {
    Finished,            // at the end of the input
    Stopped,             // by a stop: the output holds the part converted so far
    StoppedBeforeOutput, // by a stop before any output was written (the first of two passes):
                         // nothing was made, an earlier file of the output's name is untouched
    Failed,
};

// The media work behind the encoder object model: the worker-process host in the program,
// a scripted stand-in in tests. All calls and signals happen on the encoder's thread.
class EncoderBackend : public QObject
{
    Q_OBJECT
public:
    // The profiles the engine offers: built-in ones first, then the profile folder's files.
    virtual QList<ProfileSettings> profiles() = 0;
    // Reads the input's duration in milliseconds; fails with a description. May wait in a
    // nested event loop, so other handlers (a stop, even the owner's destruction) can run
    // before it returns; after the owner's destruction it throws without touching `this`.
    virtual qint64 readDurationMs(const EncodeJob &job) = 0;
    // Starts the job and returns at once (never emitting from inside this call); fails with
    // a description when it cannot start.
    // Emits running() once the media work runs and finished() exactly once at its end.
    virtual void start(const EncodeJob &job) = 0;
    // Ends what runs: a duration read at once (it then fails, see stoppedBeforeConverting);
    // a running job properly (the partial output is finished and kept; in the first of two
    // passes there is none yet, and nothing is written). Safe in every state; never fails.
    virtual void stop() = 0;
    // The latest statistics of the running (or last) job; reading them costs nothing.
    virtual EncoderStatistics statistics() const = 0;

signals:
    void running();
    // failure is empty when the job ended well (at the end of the input or after a stop that
    // kept a partial output); for StoppedBeforeOutput it is stoppedBeforeConverting().
    // notice: for a job that ended well, anything the user should hear of ("converted in one
    // pass: ..."); otherwise empty.
    void finished(JobEnd end, const QString &failure, const QString &notice);
};
