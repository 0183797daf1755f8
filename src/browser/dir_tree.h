#pragma once

#include "browser/sorted_name_list.h"
#include "browser/tree_images.h"

#include <QHash>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

// The directory tree control: the machine's drives and folders, filled lazily as the user
// clicks and expands nodes. It hands out the folder of the node it handled last through
// path() and raises Click after every node handling.
//
// Drive nodes carry the key "root" + the letter's code; folder nodes carry no key, show
// their name in proper case and keep the real name beside it, from which paths are built.
class DirTree : public QWidget
{
    Q_OBJECT
public:
    // What each node keeps beside its text.
    enum NodeRole {
        KeyRole = Qt::UserRole, // "root67" for drive C:, empty for a folder
        RealNameRole,           // a folder's name as the file system gives it
        ImageRole,              // the node's image key
        SelectedImageRole,      // its image key while selected
    };

    explicit DirTree(QWidget *parent = nullptr);

    // Rebuilds the whole tree; the stored path is kept.
    void GoList();
    // The folder of the node handled last, always ending in "\" ("C:\", "C:\Windows\");
    // empty until the first node handling.
    QString path() const { return m_path; }

    // The inner tree view (objectName "DirTree"), which always fills the control.
    QTreeWidget *treeView() const { return m_tree; }
    // The drive node of a key such as "root67", or null.
    QTreeWidgetItem *nodeByKey(const QString &key) const { return m_nodesByKey.value(key); }
    static QString nodeKey(const QTreeWidgetItem *node);
    static QString nodeImage(const QTreeWidgetItem *node);
    static QString nodeSelectedImage(const QTreeWidgetItem *node);

    // ---- handlers of the tree view's events and of the control's own size ----
    void DirTree_NodeClick(QTreeWidgetItem *node);
    void DirTree_Expand(QTreeWidgetItem *node);
    // A key (a Qt::Key) went down in the tree view.
    void DirTree_KeyDown(int key);
    void UserControl_Resize();

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A folder ("C:", "C:\Windows") whose sub-folders become the node's children.
    struct Unlisted
    {
        QString folder;
        QTreeWidgetItem *node;
    };

    void FillDrives();
    void addDriveNode(QChar letter, std::uint32_t driveType, QList<Unlisted> &firstLevels);
    void AddSubFolders(const QList<Unlisted> &folders);
    void addListed(QTreeWidgetItem *parent, const QStringList &names);
    void NodeClick(QTreeWidgetItem *node);
    void handled(QTreeWidgetItem *node);
    void Expand(QTreeWidgetItem *node);
    void removeAllNodes();
    QTreeWidgetItem *
    newNode(const QString &text, const QString &image, const QString &selectedImage) const;
    QString folderOf(const QTreeWidgetItem *node) const;
    void followHighlight();

    QTreeWidget *m_tree = nullptr;
    TreeImages img;
    SortedNameList List1;
    QHash<QString, QTreeWidgetItem *> m_nodesByKey;
    QString m_path;
    QTreeWidgetItem *m_handled = nullptr; // the node handled last; null after a rebuild
};
