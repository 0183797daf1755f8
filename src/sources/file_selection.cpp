#include "sources/file_selection.h"

#include "common/texts.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

FileSelection::FileSelection(const FileListBox *inputs,
                             const FileListBox *outputs,
                             TextBox *clicked,
                             TextBox *folders)
    : File1(inputs)
    , File2(outputs)
    , Text3(clicked)
    , Text4(folders)
{}

// Echoes a click in the input list: Text4 names both folders, Text3 keeps a running list
// of the names clicked. Text3 is only a display; the batch reads the selection from File1.
// Each click appends the clicked name, even when the click took it out of the selection;
// when exactly one entry is left selected, Text3 starts afresh with the clicked name.
void FileSelection::File1_Click()
{
    Text4->setText(joinCrLf({QStringLiteral("input directory: ") + File1->Path(),
                             QStringLiteral("output directory: ") + File2->Path()}));

    const int selectedCount = File1->SelectedCount();
    const QString clicked = File1->List(File1->ListIndex());
    if (selectedCount >= 1)
        Text3->setText(Text3->text() + CrLf + clicked);
    if (selectedCount == 1)
        Text3->setText(clicked);
}
