#pragma once

#include <QString>

class Machine;

// Translation between the program's Windows-form paths ("C:\Program Files\Clipferry") and
// native paths. The program speaks Windows form; a path is translated where it crosses to or
// from the native system: in the platform layer's objects, the encoder's hand-over to its
// worker, the folder tree's listing, and where the window and the batch meet a file
// themselves (a folder chosen, files opened, the page to show, an input or output being
// converted, the copy to a storage card).
//
// A doubled separator is one separator (the program joins folder + "\" + name even when
// the folder already ends in "\"). Drive letters may be either case. Where a name does not
// exist exactly, a name in the same folder that differs only in letter case is taken, as
// the drives the program was made for ignore case.
QString toNativePath(Machine &machine, const QString &windowsPath);

// The native path with the names as written, from the drive table as last read: the file
// system itself is not asked, so this never waits on a folder that does not answer. Fails as
// toNativePath does when there is no such drive or no medium in it.
QString toNativePathAsWritten(Machine &machine, const QString &windowsPath);
QString toNativePath(const QString &windowsPath);

QString toWindowsPath(Machine &machine, const QString &nativePath);
QString toWindowsPath(const QString &nativePath);

// True when the text has the form of a full Windows path: a letter, ":" and optionally "\...".
bool isFullWindowsPath(const QString &path);
