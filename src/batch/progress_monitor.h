#pragma once

#include <QString>

// Time left as hours, minutes and seconds, each below 10 with a "0" in front
// (135 -> "00:02:15", 3725 -> "01:02:05", 36000 -> "10:00:00"); hours are not limited.
QString timeLeftText(qint64 secondsLeft);
