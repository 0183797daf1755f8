#include "sources/file_drops.h"

#include "platform/native_names.h"
#include "sources/open_files.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// The local files and folders a drag carries, as native paths; other addresses are left out.
QStringList droppedPaths(const QMimeData &data)
{
    QStringList paths;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(nativePathOfFileUrl(url));
    }
    return paths;
}

} // namespace

FileDrops::FileDrops(QWidget &window, OpenFiles &opening)
    : QObject(&window)
    , m_window(window)
    , m_opening(opening)
{
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
}

// The controls exist once the window is shown; those that take drops of their own (the
// text boxes, the profile box) get this filter too.
void FileDrops::watchDropTargets()
{
    for (QWidget *child : m_window.findChildren<QWidget *>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
}

// Only a copy is ever taken: accepting a move would have the file manager delete the files.
// Nor while a message or the folder browser waits for an answer: the handler that opened it
// goes on from where it was once it is answered.
bool FileDrops::takeDrag(QDropEvent &event) const
{
    if (!m_opening.canOpenFiles() || QApplication::activeModalWidget()
        || !(event.possibleActions() & Qt::CopyAction)) {
        event.ignore();
        return false;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return true;
}

bool FileDrops::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == &m_window && type == QEvent::Show)
        watchDropTargets();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto &drag = static_cast<QDropEvent &>(*event);
    const QStringList paths = droppedPaths(*drag.mimeData());
    if (paths.isEmpty())
        return false; // text and the like: the control under the pointer decides
    if (takeDrag(drag) && type == QEvent::Drop) {
        // Opened once the drop is over, so the file manager is not kept waiting by a message.
        QTimer::singleShot(0, &m_window, [opening = &m_opening, paths] {
            if (opening->canOpenFiles())
                opening->openFiles(paths);
        });
    }
    return true;
}
