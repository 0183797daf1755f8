#pragma once

#include <QString>
#include <QStringList>

// Installs this build's engine on the C: drive at nativeC: worker and module linked into the
// encoder folder, the three shipped profiles beside the program and in the encoder's Profiles.
// False when a file could not be put in place.
bool installBuiltEngine(const QString &nativeC);

// The worker this build made.
QString builtWorker();

// The worker's command line for converting input into output (its temporary beside it) in
// one or two passes, at 320 x 240, 30 frames per second and 300 kbit/s with 48 kbit/s sound.
QStringList workerEncodeArguments(const QString &input, const QString &output, int passes);
