#pragma once

#include <QListWidget>

// A list of the files of one folder (every regular file, no name pattern; hidden entries,
// pipes, sockets and devices left out),
// sorted by name, with extended multiple selection: Ctrl adds or removes one entry, Shift
// selects a range. The folder is in Windows form; it is empty until set, so a list nobody
// has pointed anywhere can be told apart.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    // The folder, without a trailing "\" except at a drive's root ("C:\", "C:\Videos").
    QString Path() const { return m_path; }
    // Lists another folder. Fails with a description (an empty name, a folder that cannot
    // be listed); the list then keeps its folder and entries.
    void setPath(const QString &folder);
    // Lists the folder again; the selection is cleared. Fails like setPath, keeping the
    // entries it had.
    void Refresh();

    int ListCount() const { return count(); }
    // The name of an entry; "" for an index outside the list.
    QString List(int index) const;
    bool Selected(int index) const;
    void setSelected(int index, bool selected);
    // How many entries are selected.
    int SelectedCount() const { return int(selectedItems().size()); }
    // The current entry (the one last clicked), -1 when there is none.
    int ListIndex() const { return currentRow(); }

signals:
    // A click on an entry, or a keyboard move or selection change, once the selection is
    // final (a plain click on an entry that was already selected only narrows the selection
    // when the button is released).
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static QStringList filesOf(const QString &folder);
    void showFiles(const QStringList &files);

    QString m_path;
    bool m_pressedOnEntry = false;
};
