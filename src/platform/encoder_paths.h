#pragma once

#include <QString>

// The encoder's folder and its files in the two forms the program needs (the names are in
// common/encoder_folder.h).

// "C:\Program Files\Windows Media Components\Encoder\WMEncEng.dll": a file of the encoder's
// folder on the drive of that letter, in Windows form. Joined plainly: with no letter the path
// begins with ":\".
QString encoderFilePath(const QString &driveLetter, const char *name);

// "Program Files/Windows Media Components/Encoder/Profiles": a file of the encoder's folder,
// relative to a native C: drive's root.
QString encoderRelativePath(const char *name);
