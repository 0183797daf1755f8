#pragma once

class FileListBox;
class TextBox;

// The input list File1 ("Select Files") and its echo: Text4 names both folders, Text3 the
// names clicked.
class FileSelection
{
public:
    FileSelection(const FileListBox *inputs,
                  const FileListBox *outputs,
                  TextBox *clicked,
                  TextBox *folders);

    void File1_Click();

private:
    const FileListBox *File1;
    const FileListBox *File2;
    TextBox *Text3;
    TextBox *Text4;
};
