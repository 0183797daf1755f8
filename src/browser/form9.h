#pragma once

#include <QDialog>
#include <QSizeF>

class DirTree;
class QFrame;
class QPushButton;

// The folder browser: a tree of drives and folders with OK and Cancel, handing the chosen
// folder back through the program's selected folder, the one value it writes. It knows
// nothing of the window that opens it beyond its place. Created (loaded) by
// Form1::folderBrowser() on first use; OK and Cancel only hide it, so the next use shows the
// same tree; closing it through the title bar unloads it (the object is deleted later), so
// the next use loads it afresh. A sizable tool window; Enter and Escape mean nothing here.
class Form9 : public QDialog
{
    Q_OBJECT
public:
    // Builds the window beside its owner and runs Form_Load, as loading a window does. OK
    // and Cancel write their choice into selectedFolder, which outlives the window.
    Form9(QWidget &owner, QString &selectedFolder);

    // Shows the window modally. Returns true once OK or Cancel has hidden it (the choice is
    // then in the selected folder), false when it was closed through its title bar (the
    // selected folder is as it was; the window is then deleted later).
    bool showModal();
    // OK (0) writes the tree's path, Cancel (1) the program's folder; both hide the window.
    void cmd_Click(int index);
    // Builds the tree and places the window beside its owner.
    void Form_Load();
    // Lays the tree and the buttons out for the window's client area.
    void Form_Resize();

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

    QWidget &m_owner;
    QString &m_selectedFolder;
    bool m_hiddenByButton = false; // during a showing: OK or Cancel has hidden it
    bool m_showing = false;        // inside showModal
    bool m_unloaded = false;
};
