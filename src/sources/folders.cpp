#include "sources/folders.h"

#include "browser/form9.h"
#include "common/error.h"
#include "common/step_over.h"
#include "common/texts.h"
#include "platform/drive_kind.h"
#include "platform/folder_listing.h"
#include "platform/machine.h"
#include "platform/win_paths.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

namespace {

// DriveType of a CD-ROM drive; the only type the folder buttons tell apart.
constexpr int cdRomDriveType = fso_drive_type::CdRom;

const QString inputTitle = QStringLiteral("Select MPG-input directory");
const QString outputTitle = QStringLiteral("Select WMV-output directory");

} // namespace

Folders::Folders(ProgramValues &values,
                 const std::unique_ptr<FileSystemObject> &fileSys,
                 FolderWidgets widgets)
    : m_values(values)
    , FileSys(fileSys)
    , m_widgets(widgets)
{}

// The batch writes into the output list's folder, so an output list nobody pointed
// anywhere follows the input list.
void Folders::outputFollowsInput()
{
    if (m_widgets.File2->Path().isEmpty())
        m_widgets.File2->setPath(m_widgets.File1->Path());
}

// Shows the folder browser with a title and waits until it is hidden or closed. Closing it
// through its title bar may delete it, so it is not touched once the modal show returns.
// An answer with OK or Cancel lets the output list follow the input list before the caller
// applies the new choice, so it takes the input folder as it was; a failure there (no input
// folder yet) goes unreported, since the user's answer is taken all the same.
void Folders::browseForFolder(const QString &title)
{
    Form9 &browser = folderBrowser();
    browser.setWindowTitle(title);
    if (browser.showModal())
        stepOver([this] { outputFollowsInput(); });
}

Form9 &Folders::folderBrowser()
{
    // A window closed through its title bar is unloaded even while its deletion is pending.
    if (m_form9 && m_form9->isUnloaded())
        m_form9 = nullptr;
    if (!m_form9)
        m_form9 = new Form9(*m_widgets.window, m_values.SelectedFolder);
    return *m_form9;
}

bool Folders::folderBrowserLoaded() const
{
    return m_form9 && !m_form9->isUnloaded();
}

QString folderSummary(const QString &inputFolder, const QString &outputFolder)
{
    return joinCrLf(
            {QStringLiteral("input: ") + inputFolder, QStringLiteral("output: ") + outputFolder});
}

bool Folders::selectedFolderIsOnCdRom() const
{
    const QString root = m_values.SelectedFolder.left(1) + QStringLiteral(":\\");
    return FileSys->GetDrive(FileSys->GetDriveName(root)).DriveType() == cdRomDriveType;
}

QString nameWithoutWindowsPath(const QString &folder, const QString &name)
{
    return QStringLiteral("\"%1\" in %2: a name holding \"\\\" cannot be opened; rename the "
                          "file to convert it")
            .arg(name, folder);
}

QStringList filesLeftOutOf(const QString &folder)
{
    QStringList names;
    const QString listed = folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
    stepOver([&] { names = filesWithoutWindowsName(Machine::current(), listed); });
    names.sort();
    QStringList lines;
    for (const QString &name : std::as_const(names))
        lines.append(nameWithoutWindowsPath(folder, name));
    return lines;
}

QString notOpenedText(const QStringList &notOpened)
{
    return joinCrLf(QStringList{QStringLiteral("These files were not opened:")} + notOpened);
}

QString shownPath(const QString &nativePath)
{
    QString path = nativePath;
    stepOver([&] { path = toWindowsPath(nativePath); });
    return path;
}

void Folders::writeFolderSummary()
{
    outputFollowsInput();
    m_widgets.Text4->setText(folderSummary(m_widgets.File1->Path(), m_widgets.File2->Path()));
}

void Folders::takeSelectedFolderAsInput()
{
    m_widgets.File1->setPath(m_values.SelectedFolder);
    // Reading from a CD-ROM while encoding is slow, but it works: warn and go on.
    if (selectedFolderIsOnCdRom())
        msgBox(QStringLiteral("Copy file to hard-disk first when using slow CD-ROM drive!"));
    writeFolderSummary();
}

void Folders::cmdInput_Click()
{
    browseForFolder(inputTitle);
    try {
        takeSelectedFolderAsInput();
    } catch (const Error &e) {
        msgBox(e.description());
        return;
    }
    // Select Files cannot list them: said once, when the folder is chosen.
    if (const QStringList leftOut = filesLeftOutOf(m_widgets.File1->Path()); !leftOut.isEmpty())
        msgBox(notOpenedText(leftOut));
}

void Folders::cmdOutput_Click()
{
    try {
        browseForFolder(outputTitle);
        m_widgets.File2->setPath(m_values.SelectedFolder);
        if (selectedFolderIsOnCdRom()) {
            msgBox(joinCrLf({QStringLiteral("Change output folder!"),
                             QStringLiteral("Current output folder is read only.")}));
            return;
        }
        writeFolderSummary();
    } catch (const Error &e) {
        msgBox(e.description());
    }
}
