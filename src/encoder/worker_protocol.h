#pragma once

#include "encoder/encoder_backend.h"
#include "engine/worker_protocol_words.h"

#include <QString>
#include <QStringList>

// The host's side of the line protocol with the worker process WMEncWorker (the words
// themselves are in src/engine/worker_protocol_words.h).
namespace worker_protocol {

// One line the worker wrote, read.
struct Line
{
    LineKind kind = LineKind::Other;
    qint64 durationMs = 0;
    EncoderStatistics statistics;
    FailureSubject subject = FailureSubject::ModuleUnusable; // Failed: what failed
    QString reason; // Failed: why; Ready: the engine's description; Notice: the remark
};
Line parse(const QByteArray &bytes);

// The worker's arguments for an encode, and for reading an input's duration.
QStringList encodeArguments(const EncodeJob &job, const QString &temporary, int passes);
QStringList probeArguments(const EncodeJob &job);

// The line that asks a running worker to stop.
QByteArray stopLine();

// A worker's failure in the user's words, naming the files as the program gave them:
// "Cannot open the input Z:\home\ann\clip.mpg: No such file or directory"; a stop before the
// output was written: "Stopped before converting Z:\home\ann\clip.mpg.". moduleShown: the
// engine module's path in the program's form, named when the module could not be used.
QString describeFailure(FailureSubject subject,
                        const QString &reason,
                        const EncodeJob &job,
                        const QString &moduleShown);

} // namespace worker_protocol
