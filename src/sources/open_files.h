#pragma once

#include "common/program_values.h"

#include <QPointer>
#include <QStringList>

#include <functional>

class FileListBox;
class FileSelection;
class Folders;
class HandedFiles;
class QWidget;

// Files from the desktop: the program's arguments, drops from the file manager, and files a
// later start of the program hands over. They are opened the way a user would: their folder
// becomes the input folder and the files are clicked in File1.
class OpenFiles
{
public:
    // batchRunning tells whether a batch runs, which takes no files.
    OpenFiles(QWidget &window,
              ProgramValues &values,
              Folders &folders,
              FileSelection &selection,
              FileListBox *inputs,
              std::function<bool()> batchRunning);

    // Opens files, or one folder, given as native paths: their folder becomes the input
    // folder and the files are clicked in File1 (the first plainly, the others with Ctrl). A
    // message names what could not be opened, and why.
    void openFiles(const QStringList &nativePaths);
    // False while the window cannot take files: a batch runs, or File1 waits for a reset.
    bool canOpenFiles() const;
    // Opens files, or a folder, that a later start of the program handed over, as openFiles
    // does, once no message or folder browser waits for an answer. While the window cannot
    // take files, a message names them and says why.
    void openHandedFiles(const QStringList &nativePaths);
    // Lets the window take files and folders dropped from the file manager.
    void acceptFileDrops();

private:
    void clickOpenedFiles(const QStringList &names, QStringList &notOpened);
    void openHandedNow(const QStringList &nativePaths);

    QWidget &m_window;
    ProgramValues &m_values;
    Folders &m_folders;
    FileSelection &m_selection;
    FileListBox *File1;
    std::function<bool()> m_batchRunning;
    QPointer<HandedFiles> m_handed; // the files handed over, waiting (the window owns them)
};
