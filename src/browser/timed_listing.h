#pragma once

#include <QList>
#include <QStringList>

#include <chrono>
#include <optional>

// How long a folder may stay silent (no entry read) before its listing is given up: long
// enough for a share that wakes up or a disc that spins up, short enough that a share whose
// server is gone keeps the tree busy only for a moment. A folder that goes on answering,
// however slowly, is listed to its end.
inline constexpr std::chrono::milliseconds listingSilenceLimit{3000};

// Lists the sub-folders of native folders on helper threads, several at once, and returns
// when each folder has been listed or has stayed silent for the limit. A listing that
// answers at once is simply waited for; past that, the window goes on painting and its
// timers go on ticking, while the user's clicks and keys wait for the answer (the pointer
// shows that the program is busy).
//
// A listing given up stays behind on its thread, which cannot be cancelled: it ends when the
// file system answers at last (or when the program ends) and touches nothing but its own
// share of the work. While it waits, its folder is not asked again and gets no names.
//
// For each folder: the real names of its sub-folders, in the order the file system gives
// them; none where the folder cannot be listed or did not answer in time.
QList<std::optional<QStringList>> listSubFoldersWithin(const QStringList &nativeFolders,
                                                       std::chrono::milliseconds silenceLimit
                                                       = listingSilenceLimit);
