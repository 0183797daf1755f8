#pragma once

#include <QString>

#include <optional>

// The ".wmv" name of an input file (clip.mpg -> clip.wmv, AVSEQ01.DAT -> AVSEQ01.wmv,
// talk.MPEG -> talk.wmv). The endings ".mpg", ".MPG", ".dat", ".DAT", ".mpeg" and ".MPEG"
// are compared exactly, and every occurrence of the found ending is replaced, so
// a.mpg.mpg gives a.wmv.wmv. A name with none of them has no output name.
std::optional<QString> outputNameFor(const QString &inputName);
