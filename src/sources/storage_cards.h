#pragma once

#include "platform/file_system.h"

#include <QLocale>
#include <QString>

#include <memory>
#include <optional>

class QCheckBox;

// A drive size in bytes as megabytes with two decimals, in the locale's number format
// (134217728 gives "128.00" in English).
QString megabytesText(qint64 bytes, const QLocale &locale = QLocale());

// The question that offers a removable drive as the storage card. Fails when the drive's
// label or sizes cannot be read (no medium in the slot).
QString storageCardQuestion(const QString &letter, const DriveObject &drive);

// The storage card finished outputs are copied to: the scan of the Settings menu's "Check
// Storage Cards" and the copy box chkCopytoStorage, which it ticks and clears.
class StorageCards
{
public:
    StorageCards(const std::unique_ptr<FileSystemObject> &fileSys, QCheckBox *copyBox);

    void mnuCheckStorageCards_Click();
    void chkCopytoStorage_Click();

    // The letter of the card each finished output is copied to; empty for none.
    QString cardForCopies() const;

    QString StorageDrive;
    qint16 LoopIndex = 0;
    std::optional<DriveObject> CurrentDrive;
    bool CardFound = false;
    QString CardDrive;
    int ProbeDriveType = 0;

private:
    const std::unique_ptr<FileSystemObject> &FileSys; // the window's, while it is open
    QCheckBox *chkCopytoStorage;
};
