#pragma once

#include <QString>

// What lay under an output's name before its encode. An encode that fails may leave a file
// under that name; only a file that this encode produced is removed, never one that was
// there before the batch and is still the same file.
struct OutputStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool sameFileAs(const OutputStamp &other) const;
};

// The stamp of the file under a native path (exists false when there is none, or the path is
// empty: a Windows-form path that leads to no drive has no native one).
OutputStamp stampOf(const QString &nativePath);

// Removes what a failed encode left under the native path, unless it is the file stamped
// before the encode. Fails with a description naming the Windows-form path when the removal
// fails.
void removeFailedOutput(const QString &windowsPath,
                        const QString &nativePath,
                        const OutputStamp &before);
