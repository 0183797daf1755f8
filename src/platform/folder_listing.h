#pragma once

#include <QString>
#include <QStringList>

class Machine;

// The regular files of a folder given in Windows form with a trailing "\", symbolic links to
// regular files included; sub-folders, pipes, sockets, devices and hidden entries (the
// dot-files) left out, in the order the file system gives them. Names that cannot be written
// in a Windows path (holding "\") are left out too; names that are not UTF-8 are listed
// without loss (see native_names.h). Fails with a description naming the folder and the
// reason. (The folder tree lists sub-folders with listNativeSubFolders.)
QStringList listFiles(Machine &machine, const QString &folder);

// The regular files of such a folder that listFiles leaves out because a Windows path cannot
// hold their names, so that whoever lists them can say so; hidden ones aside.
QStringList filesWithoutWindowsName(Machine &machine, const QString &folder);

// The volume label of a drive given as a letter and ":"; fails when there is no such drive
// or no medium in it.
QString volumeLabel(Machine &machine, const QString &drive);
