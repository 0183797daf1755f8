#pragma once

#include <QString>

// Installs this build's engine on the C: drive at nativeC: worker and module linked into the
// encoder folder, the three shipped profiles beside the program and in the encoder's Profiles.
// False when a file could not be put in place.
bool installBuiltEngine(const QString &nativeC);
