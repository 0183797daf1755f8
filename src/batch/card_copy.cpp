#include "app/form1.h"

#include "common/texts.h"
#include "sources/file_list_box.h"

#include <QCheckBox>

// After each finished file: a copy in the root folder of the chosen storage card. A card
// that is not ready, or that already holds a file of that name, is passed by without a
// word; a failing drive query or copy ends the batch through its error path. The copy is
// written under a temporary name and renamed, so a card pulled mid-copy holds no torn file.
void Form1::copyToStorageCard()
{
    if (!chkCopytoStorage->isChecked())
        return;
    // With the box ticked but no card chosen there is nowhere to copy to; asking for the
    // drive of ":\" would only fail and end the whole batch.
    if (StorageDrive.isEmpty())
        return;
    const QString cardRoot = StorageDrive + QStringLiteral(":\\");
    CurrentDrive = FileSys->GetDrive(FileSys->GetDriveName(cardRoot));
    if (CurrentDrive->IsReady() && !FileSys->FileExists(cardRoot + m_values.OutputFile))
        FileSys->CopyFile(joinPath(File2->Path(), m_values.OutputFile), cardRoot);
}
