#include "sources/folders.h"
#include "app/form1.h"

#include "browser/form9.h"
#include "common/error.h"
#include "common/texts.h"
#include "platform/drive_kind.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

namespace {

// DriveType of a CD-ROM drive; the only type the folder buttons tell apart.
constexpr int cdRomDriveType = fso_drive_type::CdRom;

const QString inputTitle = QStringLiteral("Select MPG-input directory");
const QString outputTitle = QStringLiteral("Select WMV-output directory");

// Shows the folder browser with a title and waits until it is hidden or closed. Closing it
// through its title bar may delete it, so it is not touched once the modal show returns.
void browseForFolder(Form1 &form, const QString &title)
{
    Form9 &browser = form.folderBrowser();
    browser.setWindowTitle(title);
    browser.showModal();
}

} // namespace

QString folderSummary(const QString &inputFolder, const QString &outputFolder)
{
    return joinCrLf(
            {QStringLiteral("input: ") + inputFolder, QStringLiteral("output: ") + outputFolder});
}

bool Form1::selectedFolderIsOnCdRom()
{
    const QString root = m_values.SelectedFolder.left(1) + QStringLiteral(":\\");
    CurrentDrive = FileSys->GetDrive(FileSys->GetDriveName(root));
    return CurrentDrive->DriveType() == cdRomDriveType;
}

void Form1::writeFolderSummary()
{
    // The batch writes into the output list's folder, so an output list nobody pointed
    // anywhere follows the input list.
    if (File2->Path().isEmpty())
        File2->setPath(File1->Path());
    Text4->setText(folderSummary(File1->Path(), File2->Path()));
}

void Form1::takeSelectedFolderAsInput()
{
    File1->setPath(m_values.SelectedFolder);
    // Reading from a CD-ROM while encoding is slow, but it works: warn and go on.
    if (selectedFolderIsOnCdRom())
        msgBox(QStringLiteral("Copy file to hard-disk first when using slow CD-ROM drive!"));
    writeFolderSummary();
}

void Form1::cmdInput_Click()
{
    browseForFolder(*this, inputTitle);
    try {
        takeSelectedFolderAsInput();
    } catch (const Error &e) {
        msgBox(e.description());
    }
}

void Form1::cmdOutput_Click()
{
    try {
        browseForFolder(*this, outputTitle);
        File2->setPath(m_values.SelectedFolder);
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
