#pragma once

#include <QDialog>
#include <QSizeF>

class DirTree;
class Form1;
class QFrame;
class QPushButton;
struct ProgramValues;

// The folder browser: a tree of drives and folders with OK and Cancel, handing the chosen
// folder back through ProgramValues::SelectedFolder. Created (loaded) by
// Form1::folderBrowser() on first use; OK and Cancel only hide it, so the next use shows the
// same tree; closing it through the title bar unloads it (the object is deleted later), so
// the next use loads it afresh. A sizable tool window; Enter and Escape mean nothing here.
class Form9 : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and runs Form_Load, as loading a window does.
    Form9(Form1 &owner, ProgramValues &values);

    // Shows the window modally; returns once it is hidden by OK or Cancel, or closed.
    void showModal();
    // OK (0) and Cancel (1).
    void cmd_Click(int index);
    // Builds the tree and places the window beside the main window.
    void Form_Load();
    // Lays the tree and the buttons out for the window's client area.
    void Form_Resize();
    // The tree's Click: the window has no use for it.
    void DirTree1_Click() {}

    // True once closed through the title bar: the window is unloaded and awaits deletion.
    bool isUnloaded() const { return m_unloaded; }

    QPushButton *cmd[2] = {nullptr, nullptr}; // objectNames "cmd(0)" (OK) and "cmd(1)" (Cancel)
    DirTree *DirTree1 = nullptr;
    QFrame *Picture1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    double dpi() const;
    QSizeF clientTwips() const;

    Form1 &m_owner;
    ProgramValues &m_values;
    bool m_unloaded = false;
};
