#include "sources/storage_cards.h"

#include "common/step_over.h"
#include "common/texts.h"
#include "platform/drive_kind.h"
#include "widgets/dialogs.h"

#include <QCheckBox>

namespace {

// DriveType of a removable drive.
constexpr int removableDriveType = fso_drive_type::Removable;

// The scan looks at C: to Z:; A: and B: were floppy drives and are never cards.
constexpr qint16 firstScanIndex = 1;
constexpr qint16 lastScanIndex = 24;
constexpr int letterCodeOffset = 66; // index 1 gives 'C'

} // namespace

QString megabytesText(qint64 bytes, const QLocale &locale)
{
    return locale.toString(static_cast<double>(bytes) / 1024 / 1024, 'f', 2);
}

QString storageCardQuestion(const QString &letter, const DriveObject &drive)
{
    return joinCrLf({QStringLiteral("Drive: ") + letter,
                     QStringLiteral("Volumename: ") + drive.VolumeName(),
                     QStringLiteral("Total size: ") + megabytesText(drive.TotalSize())
                             + QStringLiteral(" MB"),
                     QStringLiteral("Free space: ") + megabytesText(drive.FreeSpace())
                             + QStringLiteral(" MB"),
                     QString(),
                     QStringLiteral("Set this drive as output storage?")});
}

// Offers each removable drive in turn until the user takes one. Every step that fails is
// stepped over: a letter without a drive fails the existence test, and a slot without a
// card counts as found but is not offered. The letter is stored before the box is checked,
// so the box's own handler, raised by the change, finds a card chosen and does nothing.
StorageCards::StorageCards(const std::unique_ptr<FileSystemObject> &fileSys, QCheckBox *copyBox)
    : FileSys(fileSys)
    , chkCopytoStorage(copyBox)
{}

void StorageCards::mnuCheckStorageCards_Click()
{
    CardFound = false;
    for (LoopIndex = firstScanIndex; LoopIndex <= lastScanIndex; ++LoopIndex) {
        const QString letter = QChar(LoopIndex + letterCodeOffset);
        const QString root = letter + QStringLiteral(":\\");
        stepOver([&] { CurrentDrive = FileSys->GetDrive(FileSys->GetDriveName(root)); });
        stepOver([&] { ProbeDriveType = CurrentDrive.value().DriveType(); });
        if (ProbeDriveType != removableDriveType || !FileSys->DriveExists(root))
            continue;

        CardFound = true;
        CardDrive = letter;
        bool takeIt = false;
        stepOver([&] { takeIt = askYesNo(storageCardQuestion(letter, CurrentDrive.value())); });
        if (takeIt) {
            StorageDrive = CardDrive;
            chkCopytoStorage->setChecked(true);
            break;
        }
        StorageDrive.clear();
        chkCopytoStorage->setChecked(false);
    }
    if (!CardFound)
        msgBox(QStringLiteral("No Storage Cards detected!"));
}

void StorageCards::chkCopytoStorage_Click()
{
    if (!chkCopytoStorage->isChecked() || !StorageDrive.isEmpty())
        return;
    mnuCheckStorageCards_Click();
    if (!CardFound || StorageDrive.isEmpty())
        chkCopytoStorage->setChecked(false);
}

QString StorageCards::cardForCopies() const
{
    return chkCopytoStorage->isChecked() ? StorageDrive : QString();
}
