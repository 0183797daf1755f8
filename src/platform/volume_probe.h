#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

// A volume's sizes as its file system tells them.
struct VolumeSpace
{
    qint64 totalBytes = 0;
    qint64 freeBytes = 0;
};

// How long the window waits for a volume's answer. A network share whose server is gone
// can keep a file-system call waiting for minutes; past this limit the volume counts as
// not ready.
inline constexpr std::chrono::milliseconds volumeAnswerLimit{1500};

// The sizes of the file system whose root is the folder, asked on a helper thread; none
// when the folder is no folder (any more) or its file system does not answer within the
// limit. While an earlier question about that folder is still unanswered, none is given at
// once and the folder is not asked again, so a hung volume costs the limit once, not at
// every query. noAnswer, when given, tells whether the answer is none for that reason.
std::optional<VolumeSpace> askVolume(const QString &nativeRoot, bool *noAnswer = nullptr);

// The same for any question: runs `ask` on a helper thread that is left behind when it
// outlives the limit. `key` names what is asked about.
std::optional<VolumeSpace> askWithin(const QString &key,
                                     std::chrono::milliseconds limit,
                                     std::function<std::optional<VolumeSpace>()> ask,
                                     bool *noAnswer = nullptr);
