#pragma once

#include <QObject>

class OpenFiles;
class QDropEvent;
class QWidget;

// Lets the main window take files and folders dropped from the file manager: they are
// opened as if the program had been started with them. While the window cannot take files
// the drag is refused, so the pointer shows that a drop would do nothing. File drags are
// kept from the text boxes, which would otherwise paste the files' addresses as text.
class FileDrops : public QObject
{
    Q_OBJECT
public:
    // Watches the window, which owns it; what is dropped is opened through the opening.
    FileDrops(QWidget &window, OpenFiles &opening);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchDropTargets();
    bool takeDrag(QDropEvent &event) const;

    QWidget &m_window;
    OpenFiles &m_opening;
};
