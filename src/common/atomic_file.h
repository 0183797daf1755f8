#pragma once

#include <QByteArray>
#include <QString>

// What a write does when its file already exists.
enum class ExistingFile { Replace, Refuse };

// Writes a whole file so that readers see either the old file or the complete new one: the
// bytes go to a temporary file in the same folder, are flushed to the disk, and the
// temporary is renamed over the target (Replace) or onto a name that must still be free
// (Refuse). Returns 0 or the errno of the failure; the temporary is gone on every failure and
// an existing file is left as it was.
int tryWriteFileAtomically(const QString &nativePath,
                           const QByteArray &bytes,
                           ExistingFile existing);
// The same, failing with "<path>: <reason>".
void writeFileAtomically(const QString &nativePath, const QByteArray &bytes, ExistingFile existing);
