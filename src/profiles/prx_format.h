#pragma once

#include "profiles/profile.h"
#include "profiles/profile_rules.h"

#include <QList>
#include <QString>

// The ".prx" profile format: a small text file of "Key=Value" lines under the heading
// "[Clipferry Profile]"; lines starting with ";" are comments. Example:
//
//   [Clipferry Profile]
//   Version=1
//   Name=Kestrel Medium
//   Description=Pocket PC, 320 x 240
//   VideoSize=320x240
//   FrameRate=30
//   VideoBitRate=300000
//   KeyFrameSeconds=5
//   AudioBitRate=48000
//   SampleRate=44100
//   Channels=2
//
// Every key but Description is required; keys this version does not know are ignored.

// Reads a profile from its text; `where` names the file in error descriptions. Fails with
// "<where>: <reason>" for a malformed or unusable profile.
ProfileSettings parseProfile(const QString &text, const QString &where);
ProfileSettings readProfileFile(const QString &nativePath);

QString profileText(const ProfileSettings &profile);
// Writes the file in one piece (a failed write leaves an existing file as it was).
void writeProfileFile(const QString &nativePath, const ProfileSettings &profile);
// The same for a file that must not exist yet: fails, writing nothing, when it does.
void createProfileFile(const QString &nativePath, const ProfileSettings &profile);

// The ".prx" file names of a folder in the order the encoder lists them: by name, letter
// case aside (names equal but for case in plain order).
QStringList profileFileNames(const QString &nativeFolder);
bool profileFileOrder(const QString &a, const QString &b);

// Every readable profile of a folder, in file-name order; a malformed file is skipped.
QList<ProfileSettings> profilesInFolder(const QString &nativeFolder);

// The engine's own profiles, offered before those of the profile folder.
QList<ProfileSettings> builtInProfiles();
