#include "sources/file_list_box.h"

#include "common/error.h"
#include "common/step_over.h"
#include "common/texts.h"
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

} // namespace

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QStringList FileListBox::filesOf(const QString &folder)
{
    Machine &machine = Machine::current();
    const QString listed = folder.endsWith(QLatin1Char('\\')) ? folder : folder + QLatin1Char('\\');
    QStringList files;
    for (const QString &name : listFolder(machine, listed)) {
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        // An entry that vanished meanwhile is simply not listed.
        unsigned attributes = fileAttributeDirectory;
        stepOver([&] { attributes = fileAttributes(machine, listed + name); });
        if (!(attributes & fileAttributeDirectory))
            files.append(name);
    }
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return files;
}

void FileListBox::setPath(const QString &folder)
{
    if (folder.isEmpty())
        throw Error(QStringLiteral("No folder has been chosen."));
    const QString path = withoutTrailingSeparator(folder);
    const QStringList files = filesOf(path);
    m_path = path;
    clear();
    addItems(files);
}

void FileListBox::Refresh()
{
    if (m_path.isEmpty())
        return;
    const QStringList files = filesOf(m_path);
    clear();
    addItems(files);
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
    QListWidget::mousePressEvent(event);
    if (itemAt(event->position().toPoint()))
        emit Click();
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before)
        emit Click();
}
