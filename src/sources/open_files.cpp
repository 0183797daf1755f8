#include "sources/open_files.h"

#include "sources/file_drops.h"
#include "sources/file_selection.h"
#include "sources/folders.h"
#include "sources/handed_files.h"

#include "common/error.h"
#include "platform/native_names.h"
#include "platform/win_paths.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"

#include <QDir>
#include <QFileInfo>

namespace {

// What a set of paths given to the program comes to: one folder to make the input folder,
// the names of its files to click there, and what is left out, with the reason.
struct Opening
{
    QString folder;           // native
    bool wholeFolder = false; // the folder itself was given, not files of it
    QStringList names;        // each once, in the order given
    QStringList notOpened;    // "path: reason"
};

QString absoluteClean(const QString &nativePath)
{
    return QDir::cleanPath(QFileInfo(nativePath).absoluteFilePath());
}

// The first path decides the folder: itself when it is one, otherwise the folder it is in.
// One folder is opened at a time, so the files of other folders are left out.
Opening planOpening(const QStringList &nativePaths)
{
    QStringList paths;
    for (const QString &path : nativePaths)
        paths.append(absoluteClean(path));
    paths.removeDuplicates(); // keeps the first of each, in the order given
    Opening opening;
    const QString &first = paths.constFirst();
    opening.wholeFolder = nativeKindOf(first) == NativeKind::Folder;
    opening.folder = opening.wholeFolder ? first : QFileInfo(first).path();
    for (const QString &path : paths) {
        const QFileInfo file(path); // for its parts only: the file system is asked through bytes
        const NativeKind kind = nativeKindOf(path);
        if (path == opening.folder)
            continue;
        if (kind == NativeKind::Folder)
            opening.notOpened.append(shownPath(path) + QStringLiteral(": a second folder"));
        else if (file.path() != opening.folder)
            opening.notOpened.append(shownPath(path) + QStringLiteral(": not in the input folder ")
                                     + shownPath(opening.folder));
        else if (kind == NativeKind::Missing)
            opening.notOpened.append(shownPath(path) + QStringLiteral(": there is no such file"));
        else if (file.fileName().contains(QLatin1Char('\\')))
            opening.notOpened.append(
                    nameWithoutWindowsPath(shownPath(opening.folder), file.fileName()));
        else
            opening.names.append(file.fileName());
    }
    return opening;
}

// A name the list leaves out (a hidden file, one gone meanwhile), named with its folder.
QString notListed(const FileListBox &list, const QString &name)
{
    QString folder = list.Path();
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    return folder + name + QStringLiteral(": not listed in Select Files");
}

} // namespace

OpenFiles::OpenFiles(QWidget &window,
                     ProgramValues &values,
                     Folders &folders,
                     FileSelection &selection,
                     FileListBox *inputs,
                     std::function<bool()> batchRunning)
    : m_window(window)
    , m_values(values)
    , m_folders(folders)
    , m_selection(selection)
    , File1(inputs)
    , m_batchRunning(std::move(batchRunning))
{}

bool OpenFiles::canOpenFiles() const
{
    return !m_batchRunning() && File1->isEnabled();
}

void OpenFiles::acceptFileDrops()
{
    new FileDrops(m_window, *this); // the window owns it
}

void OpenFiles::openHandedFiles(const QStringList &nativePaths)
{
    if (!m_handed)
        m_handed = new HandedFiles(&m_window,
                                   [this](const QStringList &paths) { openHandedNow(paths); });
    m_handed->take(nativePaths);
}

void OpenFiles::openHandedNow(const QStringList &nativePaths)
{
    if (canOpenFiles()) {
        openFiles(nativePaths);
        return;
    }
    QStringList lines;
    const QString reason
            = m_batchRunning() ? QStringLiteral("a batch is running")
                               : QStringLiteral("Select Files shows the last batch until reset");
    for (const QString &path : nativePaths)
        lines.append(shownPath(path) + QStringLiteral(": ") + reason);
    msgBox(notOpenedText(lines));
}

void OpenFiles::openFiles(const QStringList &nativePaths)
{
    if (nativePaths.isEmpty())
        return;
    Opening opening = planOpening(nativePaths);
    try {
        m_values.SelectedFolder = toWindowsPath(opening.folder);
        m_folders.takeSelectedFolderAsInput();
    } catch (const Error &e) {
        msgBox(e.description());
        return;
    }
    clickOpenedFiles(opening.names, opening.notOpened);
    // A folder given as a whole opens as the input button opens it.
    if (opening.wholeFolder)
        opening.notOpened = filesLeftOutOf(File1->Path()) + opening.notOpened;
    if (!opening.notOpened.isEmpty())
        msgBox(notOpenedText(opening.notOpened));
}

// Clicks as a user picks several files: a plain click on the first, Ctrl-clicks on the
// others, each echoed by File1_Click, so "My Files" names them all.
void OpenFiles::clickOpenedFiles(const QStringList &names, QStringList &notOpened)
{
    bool first = true;
    for (const QString &name : names) {
        QListWidgetItem *const entry = File1->findItems(name, Qt::MatchExactly).value(0);
        if (!entry) {
            notOpened.append(notListed(*File1, name));
            continue;
        }
        File1->setCurrentItem(
                entry, first ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select);
        if (first)
            File1->scrollToItem(entry);
        first = false;
        m_selection.File1_Click();
    }
}
