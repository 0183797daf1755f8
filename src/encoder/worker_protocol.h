#pragma once

#include "encoder/encoder_backend.h"

#include <QString>
#include <QStringList>

#include <optional>

// The line protocol between the host and the worker process WMEncWorker (see
// src/engine/worker_main.cpp for the worker's side).
namespace worker_protocol {

// One line the worker wrote, read.
struct Line
{
    enum Kind { Other, Ready, Duration, Stats, Done, Failed } kind = Other;
    qint64 durationMs = 0;
    EncoderStatistics statistics;
    int subject = 0; // Failed: what failed (see the engine's cf_failure)
    QString reason;  // Failed: why; Ready: the engine's description
};
Line parse(const QByteArray &line);

// The worker's arguments for an encode.
QStringList encodeArguments(const EncodeJob &job, const QString &temporary, int passes);

// What a worker's failure was about (see the engine's cf_failure).
enum FailureSubject : int {
    ModuleUnusable = 0,
    OpenInput = 1,
    ReadInput = 2,
    WriteOutput = 3,
    Convert = 4,
    TwoPassTarget = 5, // the final pass cannot reach the bit rate; one pass still can
};

// A worker's failure in the user's words, naming the files as the program gave them:
// "Cannot open the input Z:\home\ann\clip.mpg: No such file or directory". moduleShown: the
// engine module's path in the program's form, named when the module could not be used.
QString describeFailure(int subject,
                        const QString &reason,
                        const EncodeJob &job,
                        const QString &moduleShown);

} // namespace worker_protocol
