#pragma once

#include "encoder/encoder_backend.h"

#include <QString>

#include <optional>

// Time left as hours, minutes and seconds, each below 10 with a "0" in front
// (135 -> "00:02:15", 3725 -> "01:02:05", 36000 -> "10:00:00"); hours are not limited.
QString timeLeftText(qint64 secondsLeft);

// What one tick of the progress monitor shows.
struct ProgressTexts
{
    QString size;     // "Size: 2 Kb"
    QString duration; // "Duration: 45 s", the media written so far
    QString bitRate;  // "Current bit rate: 128 Kbps"
    // Without the input's duration (zero) there is no share to measure, and no status line.
    std::optional<qint32> percentDone;
    QString status; // "Status: encoding, 25 % complete, time left: 00:02:15"
};

// The texts for the encoder's statistics of a file whose duration is durationSec seconds.
ProgressTexts progressTexts(const EncoderStatistics &statistics, qint32 durationSec);
