#include "browser/dir_tree.h"

#include "browser/dir_tree_paths.h"
#include "browser/timed_listing.h"
#include "common/error.h"
#include "common/step_over.h"
#include "common/texts.h"
#include "platform/folder_listing.h"
#include "platform/kernel32.h"
#include "platform/machine.h"
#include "platform/win_paths.h"

#include <QKeyEvent>
#include <QTreeWidget>

#include <functional>

namespace {

// The tree view. After every key press and mouse release its owner handles the highlighted
// node if it is not the one handled last, so the folder OK hands back is always the one the
// user sees highlighted: after a press on one node and a release on another, after a move
// with the arrow keys or by typing a name. Gaining the focus makes a node current without
// highlighting it, which chooses nothing.
class DirTreeView : public QTreeWidget
{
public:
    DirTreeView(QWidget *parent, std::function<void()> userActed)
        : QTreeWidget(parent)
        , m_userActed(std::move(userActed))
    {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        QTreeWidget::keyPressEvent(event);
        m_userActed();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QTreeWidget::mouseReleaseEvent(event); // a press and release on one node: itemClicked
        m_userActed();
    }

private:
    std::function<void()> m_userActed;
};

} // namespace

DirTree::DirTree(QWidget *parent)
    : QWidget(parent)
    , m_tree(new DirTreeView(this, [this] { followHighlight(); }))
{
    m_tree->setObjectName(QStringLiteral("DirTree"));
    m_tree->setAccessibleName(QStringLiteral("Folders"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setHeaderLabel(QStringLiteral("Folders")); // a screen reader reads the hidden header
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->installEventFilter(this);
    setFocusProxy(m_tree);

    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node, int) {
        DirTree_NodeClick(node);
    });
    connect(m_tree, &QTreeWidget::itemExpanded, this, &DirTree::DirTree_Expand);
}

void DirTree::followHighlight()
{
    QTreeWidgetItem *highlighted = m_tree->selectedItems().value(0);
    if (highlighted && highlighted != m_handled)
        DirTree_NodeClick(highlighted);
}

QString DirTree::nodeKey(const QTreeWidgetItem *node)
{
    return node->data(0, KeyRole).toString();
}

QString DirTree::nodeImage(const QTreeWidgetItem *node)
{
    return node->data(0, ImageRole).toString();
}

QString DirTree::nodeSelectedImage(const QTreeWidgetItem *node)
{
    return node->data(0, SelectedImageRole).toString();
}

void DirTree::GoList()
{
    FillDrives();
}

void DirTree::removeAllNodes()
{
    m_nodesByKey.clear();
    m_handled = nullptr;
    m_tree->clear();
}

// The first folder level of every drive is listed at once, after the drive nodes are made.
void DirTree::FillDrives()
{
    removeAllNodes();
    QList<Unlisted> firstLevels;
    for (char code = 'A'; code <= 'Z'; ++code) {
        const QChar letter = QLatin1Char(code);
        stepOver([&] {
            addDriveNode(
                    letter, GetDriveTypeA(QString(letter) + QStringLiteral(":\\")), firstLevels);
        });
    }
    AddSubFolders(firstLevels);
}

// One drive's node; except for a removable drive, its folder joins the first levels to
// list. A drive whose label cannot be read (a CD-ROM drive without a disc) gets no node at
// all, and removable drives are not touched until the user clicks them.
void DirTree::addDriveNode(QChar letter, std::uint32_t driveType, QList<Unlisted> &firstLevels)
{
    const std::optional<QString> image = driveImageKey(driveType);
    if (!image)
        return;
    const QString key = driveKey(letter);
    const bool removable = driveType == removableDriveType;
    stepOver([&] {
        const QString label
                = removable ? QString() : volumeLabel(Machine::current(), driveDesignator(key));
        const QString text
                = removable ? removableDriveText(letter) : labelledDriveText(letter, label);
        QTreeWidgetItem *node = newNode(text, *image, *image);
        node->setData(0, Qt::AccessibleTextRole, spokenDriveName(letter, driveType, label));
        node->setData(0, KeyRole, key);
        m_tree->addTopLevelItem(node);
        m_nodesByKey.insert(key, node);
    });
    if (removable)
        return;
    stepOver([&] {
        QTreeWidgetItem *node = nodeByKey(key);
        if (!node)
            throw Error(QStringLiteral("Drive %1: has no node.").arg(letter));
        firstLevels.append({driveDesignator(key), node});
    });
}

// Lists the sub-folders of each folder ("C:" or "C:\Windows"), all at once and off the
// window thread (see listSubFoldersWithin), and adds them, sorted, as the last children of
// its node. A folder that cannot be listed, or does not answer in time, gets no children.
void DirTree::AddSubFolders(const QList<Unlisted> &folders)
{
    Machine &machine = Machine::current();
    QList<QTreeWidgetItem *> nodes;
    QStringList natives;
    for (const Unlisted &folder : folders) {
        stepOver([&] {
            natives.append(toNativePathAsWritten(machine, folder.folder));
            nodes.append(folder.node);
        });
    }
    const QList<std::optional<QStringList>> listed = listSubFoldersWithin(natives);
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (listed[i])
            addListed(nodes[i], *listed[i]);
    }
}

void DirTree::addListed(QTreeWidgetItem *parent, const QStringList &names)
{
    for (const QString &name : names)
        List1.add(properCase(name), name);
    QList<QTreeWidgetItem *> nodes;
    nodes.reserve(List1.count());
    for (const SortedNameList::Entry &entry : List1.entries()) {
        nodes.append(newNode(entry.text, QStringLiteral("folder"), QStringLiteral("open")));
        nodes.last()->setData(0, RealNameRole, entry.realName);
    }
    parent->addChildren(nodes); // in one go: one model update for the whole folder
    List1.clear();
}

QTreeWidgetItem *
DirTree::newNode(const QString &text, const QString &image, const QString &selectedImage) const
{
    auto *node = new QTreeWidgetItem(QStringList(text));
    node->setData(0, ImageRole, image);
    node->setData(0, SelectedImageRole, selectedImage);
    node->setIcon(0, img.nodeIcon(image, selectedImage));
    return node;
}

QString DirTree::folderOf(const QTreeWidgetItem *node) const
{
    QStringList names;
    while (node->parent()) {
        names.prepend(node->data(0, RealNameRole).toString());
        node = node->parent();
    }
    return folderPath(nodeKey(node), names);
}

// A node is listed the first time it is handled; a node with children is never listed
// again (folders made later show after F5), one without is listed at every handling.
void DirTree::NodeClick(QTreeWidgetItem *node)
{
    // A drive node's own listing covers the folder listing below: each folder is listed
    // once per handling.
    if (node->childCount() == 0)
        AddSubFolders({{folderOf(node), node}});
    handled(node);
}

void DirTree::handled(QTreeWidgetItem *node)
{
    m_path = withTrailingSeparator(folderOf(node));
    m_handled = node;
    emit Click();
}

// Handles every child, so exactly the children that hold folders get an expand mark. The
// children (and the node, if it was never listed) are listed at once: a folder that does
// not answer costs one wait, however many of them there are.
void DirTree::Expand(QTreeWidgetItem *node)
{
    const int children = node->childCount();
    QList<Unlisted> unlisted;
    for (int i = 0; i < children; ++i) {
        if (node->child(i)->childCount() == 0)
            unlisted.append({folderOf(node->child(i)), node->child(i)});
    }
    if (children == 0)
        unlisted.append({folderOf(node), node});
    AddSubFolders(unlisted);
    for (int i = 0; i < children; ++i)
        handled(node->child(i));
    handled(node);
    m_tree->setCurrentItem(node);
}

void DirTree::DirTree_NodeClick(QTreeWidgetItem *node)
{
    NodeClick(node);
}

void DirTree::DirTree_Expand(QTreeWidgetItem *node)
{
    Expand(node);
}

// F5 rebuilds the tree, whichever modifier keys are held.
void DirTree::DirTree_KeyDown(int key)
{
    if (key == Qt::Key_F5)
        FillDrives();
}

bool DirTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        DirTree_KeyDown(key);
        // "*" would expand a whole branch, and every expansion lists the children's
        // folders: on Z: that walks the entire file system. The tree does not offer it.
        return key == Qt::Key_Asterisk || key == Qt::Key_F5; // every other key is the view's
    }
    return QWidget::eventFilter(watched, event);
}

void DirTree::UserControl_Resize()
{
    m_tree->setGeometry(0, 0, width(), height());
}

void DirTree::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    UserControl_Resize();
}
