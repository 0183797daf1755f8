#pragma once

#include <QDialog>

class Form1;
class QPushButton;
struct ProgramValues;

// The folder browser: a tree of drives and folders with OK and Cancel, handing the chosen
// folder back through ProgramValues::SelectedFolder. Created (loaded) by
// Form1::folderBrowser() on first use; OK and Cancel only hide it; closing it through the
// title bar unloads it (the object is deleted later), so the next use loads it afresh.
class Form9 : public QDialog
{
    Q_OBJECT
public:
    Form9(Form1 &owner, ProgramValues &values);

    // Shows the window modally; returns once it is hidden by OK or Cancel, or closed.
    void showModal();
    // OK (0) and Cancel (1).
    void cmd_Click(int index);

    QPushButton *cmd[2] = {nullptr, nullptr}; // objectNames "cmd(0)" (OK) and "cmd(1)" (Cancel)

private:
    Form1 &m_owner;
    ProgramValues &m_values;
};
