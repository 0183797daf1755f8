#pragma once

#include <QByteArray>
#include <QString>

// What a write does when its file already exists.
enum class ExistingFile { Replace, Refuse };

// Writes a whole file so that readers see either the old file or the complete new one: the
// bytes go to a temporary file in the same folder, are flushed to the disk, and the
// temporary is renamed over the target (Replace) or onto a name that must still be free
// (Refuse). Fails with "<path>: <reason>"; the temporary is gone on every failure and an
// existing file is left as it was.
void writeFileAtomically(const QString &nativePath, const QByteArray &bytes, ExistingFile existing);
