#include "widgets/file_list_box.h"

#include "common/error.h"
#include "platform/folder_listing.h"
#include "platform/machine.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

QString withoutTrailingSeparator(const QString &folder)
{
    QString path = folder;
    while (path.size() > 3 && path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    if (path.size() == 2 && path[1] == QLatin1Char(':'))
        path += QLatin1Char('\\');
    return path;
}

// Names in the order a user expects: letter case aside first, then exactly.
bool nameOrder(const QString &a, const QString &b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

QModelIndexList sortedSelection(const QItemSelectionModel *model)
{
    QModelIndexList rows = model->selectedIndexes();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QStringList FileListBox::filesOf(const QString &folder)
{
    if (folder.isEmpty())
        throw Error(QStringLiteral("No folder has been chosen: the folder name is empty."));
    // Pipes, sockets and devices are no files to convert; reading a pipe would wait forever.
    const QString listed = folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
    QStringList files = listFiles(Machine::current(), listed);
    std::sort(files.begin(), files.end(), nameOrder);
    return files;
}

void FileListBox::showFiles(const QStringList &files)
{
    clear();
    addItems(files);
}

void FileListBox::setPath(const QString &folder)
{
    const QString path = withoutTrailingSeparator(folder);
    const QStringList files = filesOf(path);
    m_path = path;
    showFiles(files);
}

void FileListBox::Refresh()
{
    if (!m_path.isEmpty())
        showFiles(filesOf(m_path));
}

QString FileListBox::List(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry ? entry->text() : QString();
}

bool FileListBox::Selected(int index) const
{
    const QListWidgetItem *entry = item(index);
    return entry && entry->isSelected();
}

void FileListBox::setSelected(int index, bool selected)
{
    if (QListWidgetItem *entry = item(index))
        entry->setSelected(selected);
}

void FileListBox::mousePressEvent(QMouseEvent *event)
{
    m_pressedOnEntry
            = event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr;
    QListWidget::mousePressEvent(event);
}

void FileListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    if (m_pressedOnEntry && event->button() == Qt::LeftButton) {
        m_pressedOnEntry = false;
        emit Click();
    }
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    const int before = currentRow();
    const QModelIndexList selectedBefore = sortedSelection(selectionModel());
    QListWidget::keyPressEvent(event);
    if (currentRow() != before || sortedSelection(selectionModel()) != selectedBefore)
        emit Click();
}
