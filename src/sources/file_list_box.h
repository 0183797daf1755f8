#pragma once

#include <QListWidget>

// A list of the files of one folder (every file, no name pattern; hidden entries left out),
// with extended multiple selection: Ctrl adds or removes one entry, Shift selects a range.
// The folder is in Windows form; it is empty until set.
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
    // Lists the folder again; the selection is cleared.
    void Refresh();

    int ListCount() const { return count(); }
    QString List(int index) const;
    bool Selected(int index) const;
    void setSelected(int index, bool selected);
    // The current entry (the one last clicked), -1 when there is none.
    int ListIndex() const { return currentRow(); }
    void setListIndex(int index) { setCurrentRow(index, QItemSelectionModel::NoUpdate); }

signals:
    // A click on an entry (or a move with the keyboard), after the selection has changed.
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static QStringList filesOf(const QString &folder);

    QString m_path;
};
