#pragma once

#include <QString>
#include <QStringList>

// The two-line summary of the input and output folders that the folder buttons write into
// Text4 ("input: C:\Videos" CR LF "output: C:\Videos").
QString folderSummary(const QString &inputFolder, const QString &outputFolder);

// The line that names a file of a folder which the program cannot open because a Windows
// path cannot hold its name (a Linux name may hold "\"): "a\b.mpg" in C:\Videos: ...
QString nameWithoutWindowsPath(const QString &folder, const QString &name);

// Such a line for each regular file of the folder (in Windows form) that its listing in
// Select Files leaves out for that reason; none when the folder cannot be listed.
QStringList filesLeftOutOf(const QString &folder);

// The box that names the files that were not opened, each line "what: why".
QString notOpenedText(const QStringList &notOpened);

// A native path given by the desktop as the boxes name it: in the program's own form, as the
// folder summary shows folders, or as given when it is on no drive.
QString shownPath(const QString &nativePath);
