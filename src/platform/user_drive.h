#pragma once

#include "common/encoder_folder.h"
#include "platform/encoder_paths.h"

#include <QString>

// An installed Clipferry's C: drive (for example /usr/lib/clipferry/drive_c) belongs to the
// system and is shared by every user of the machine, yet the program writes to its C::
// "Check Profile Setup" fills the encoder's Profiles folder, and the outputs of the sample
// clips land beside them in Samples. So each user gets a C: drive of their own: real
// folders, links to the installed files, and copies of the installed profiles. It is set up
// on the first start and brought up to date on every start, so a new version's files are
// found while the user's own files (outputs, profiles) stay as they are.

// The file that marks a C: drive as an installation shared by the users of the machine.
inline constexpr char sharedDriveMarker[] = ".clipferry-shared";

// True when the C: root is a shared installation: marked as one, or not writable for the
// user who runs the program.
bool isSharedDriveC(const QString &driveCRoot);

// Where the user's own C: drive lives: $XDG_DATA_HOME/clipferry/drive_c, which is
// ~/.local/share/clipferry/drive_c unless the user chose another data folder.
QString userDriveCRoot();

// Sets up or refreshes the user's C: drive from the installed one. Throws Error naming the
// path and the reason when a folder, link or copy cannot be made.
void prepareUserDriveC(const QString &installedRoot, const QString &userRoot);

// The relative paths inside a C: drive that the set-up treats in their own way.
namespace userdrive {
// The encoder's profile folder: the user edits its files, so they are copies, made once.
inline const QString profileFolder = encoderRelativePath(encoder_folder::ProfilesFolder);
// The profile editor finds the profiles beside its own executable, which a link would
// resolve to the shared folder; the user's C: gets a small launcher that names the folder.
inline const QString profileEditor = encoderRelativePath(encoder_folder::ProfileEditorFile);
} // namespace userdrive
