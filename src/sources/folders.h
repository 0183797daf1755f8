#pragma once

#include "common/program_values.h"
#include "platform/file_system.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class FileListBox;
class Form9;
class TextBox;
class QWidget;

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

// The widgets the folder buttons work on.
struct FolderWidgets
{
    QWidget *window;    // owns the folder browser
    FileListBox *File1; // the input folder's files
    FileListBox *File2; // the output folder
    TextBox *Text4;     // the folder summary
};

// The input and output folders: the folder buttons cmdInput and cmdOutput, with the access
// to the folder browser Form9, which hands the chosen folder back in SelectedFolder.
class Folders
{
public:
    Folders(ProgramValues &values,
            const std::unique_ptr<FileSystemObject> &fileSys,
            FolderWidgets widgets);

    // The folder browser, loaded on first use (its load builds the tree and places it).
    Form9 &folderBrowser();
    bool folderBrowserLoaded() const;

    void cmdInput_Click();
    void cmdOutput_Click();

    // Makes SelectedFolder the input folder, as the input button does with the browser's
    // choice. Throws Error when the folder cannot be listed or its drive cannot be read.
    void takeSelectedFolderAsInput();

private:
    // Shows the browser with a title and waits for its answer.
    void browseForFolder(const QString &title);
    // True when SelectedFolder is on a CD-ROM drive.
    bool selectedFolderIsOnCdRom() const;
    // Gives an output list without a folder the input list's folder, then writes Text4.
    void writeFolderSummary();
    void outputFollowsInput();

    ProgramValues &m_values;
    const std::unique_ptr<FileSystemObject> &FileSys; // the window's, while it is open
    FolderWidgets m_widgets;
    QPointer<Form9> m_form9;
};
