#include "tree_clicks.h"

#include "browser/dir_tree.h"
#include "browser/tree_images.h"
#include "temp_machine.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(DriveKind)

class TestDirTree : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_machine = std::make_unique<TempMachine>(); }
    void cleanup();

    void drives();
    void foldersAndPaths();
    void expandKeysAndF5();
    void imagesAreDrawn();

private:
    // A shown tree over the current machine, built as the folder browser builds it.
    DirTree &builtTree();
    // Drive D:, fixed, with the given label; returns its native root.
    QString driveD(const QString &label = QString())
    {
        return m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, label);
    }
    QTreeWidgetItem *node(const char *key) { return m_tree->nodeByKey(QLatin1String(key)); }

    std::unique_ptr<TempMachine> m_machine;
    std::unique_ptr<DirTree> m_tree;
};

void TestDirTree::cleanup()
{
    m_tree.reset();
    m_machine.reset();
}

DirTree &TestDirTree::builtTree()
{
    m_tree = std::make_unique<DirTree>();
    m_tree->resize(320, 480);
    m_tree->show();
    if (!QTest::qWaitForWindowExposed(m_tree.get()))
        qWarning("tree window not exposed");
    m_tree->GoList();
    return *m_tree;
}

// A drive of each kind: keys, texts and images, in letter order; a letter without a drive,
// or whose label cannot be read, gets no node. Every drive but a removable one has its
// first folder level (and no more) listed when the tree is built; a click on a drive gives
// its root and a Click, and lists it, even a removable slot without a medium.
void TestDirTree::drives()
{
    m_machine->addEmptySlot(QLatin1Char('A'), DriveKind::Removable);
    const QChar c('C');
    m_machine->setVolume(
            {"drive-C", m_machine->nativeC(), DriveKind::Fixed, "SYSTEM", true, c, {}, {}});
    const struct
    {
        char letter;
        DriveKind kind;
        const char *label;
    } drives[] = {{'D', DriveKind::Removable, "CARD"},
                  {'E', DriveKind::Remote, "public share"},
                  {'F', DriveKind::CdRom, "MOVIE_DISC"},
                  {'H', DriveKind::RamDisk, "scratch"},
                  {'I', DriveKind::Unknown, "odd one"},
                  {'J', DriveKind::Fixed, ""},
                  {'K', DriveKind::Fixed, "X:(Y:)"}};
    for (const auto &drive : drives) {
        const QString root
                = m_machine->addDrive(QLatin1Char(drive.letter), drive.kind, drive.label);
        QDir(root).mkpath(QStringLiteral("videos/clips"));
    }
    m_machine->addEmptySlot(QLatin1Char('G'), DriveKind::CdRom);

    DirTree &tree = builtTree();
    QStringList shown; // key, text, image, selected image, folders listed
    for (int i = 0; i < tree.treeView()->topLevelItemCount(); ++i) {
        QTreeWidgetItem *drive = tree.treeView()->topLevelItem(i);
        shown.append(QStringList{DirTree::nodeKey(drive),
                                 drive->text(0),
                                 DirTree::nodeImage(drive),
                                 DirTree::nodeSelectedImage(drive),
                                 QString::number(drive->childCount())}
                             .join('|'));
    }
    QCOMPARE(shown,
             QStringList({"root65|(A:)|remove|remove|0",
                          "root67|System (C:)|fixed|fixed|2",
                          "root68|(D:)|remove|remove|0",
                          "root69|Public Share (E:)|remote|remote|1",
                          "root70|Movie_disc (F:)|cd|cd|1",
                          "root72|Scratch (H:)|ram|ram|1",
                          "root73|Odd One (I:)|unknown|unknown|1",
                          "root74| (J:)|fixed|fixed|1",
                          "root75|X:(y:) (K:)|fixed|fixed|1"}));
    QCOMPARE(childNamed(node("root74"), QStringLiteral("Videos"))->childCount(), 0);

    QSignalSpy clicks(&tree, &DirTree::Click);
    QStringList paths;
    for (int i = 0; i < tree.treeView()->topLevelItemCount(); ++i) {
        clickNode(tree, tree.treeView()->topLevelItem(i));
        paths.append(tree.path());
    }
    QCOMPARE(paths.join(' '), QStringLiteral("A:\\ C:\\ D:\\ E:\\ F:\\ H:\\ I:\\ J:\\ K:\\"));
    QCOMPARE(clicks.count(), 9);
    QCOMPARE(childTexts(node("root68")), QStringList{"Videos"});
    QCOMPARE(node("root65")->childCount(), 0);
}

// Only folders show (no dot-folders, no files), in proper case, sorted ignoring case; the
// path is empty until a node is handled, then ends in "\" and is built from the real names,
// so "data" and "Data" each lead to their own folder.
void TestDirTree::foldersAndPaths()
{
    const QString root = driveD(QStringLiteral("SYSTEM"));
    for (const char *folder : {"WINDOWS/system32/drivers",
                               "program files",
                               "MY_DOCS",
                               "_private",
                               ".config",
                               "data/lower",
                               "Data/upper"})
        QDir(root).mkpath(QLatin1String(folder));
    m_machine->writeFile(QStringLiteral("D:\\readme.txt"));
    m_machine->writeFile(QStringLiteral("D:\\Zeta"));

    DirTree &tree = builtTree();
    QCOMPARE(tree.path(), QString());
    QTreeWidgetItem *drive = node("root68");
    QCOMPARE(childTexts(drive),
             QStringList({"_private", "Data", "Data", "My_docs", "Program Files", "Windows"}));
    QCOMPARE(DirTree::nodeKey(drive->child(0)), QString());
    QCOMPARE(DirTree::nodeImage(drive->child(0)), QStringLiteral("folder"));
    QCOMPARE(DirTree::nodeSelectedImage(drive->child(0)), QStringLiteral("open"));

    QStringList paths;
    for (const QStringList &clicks : {QStringList{"Windows"},
                                      QStringList{"Windows", "System32"},
                                      QStringList{"Program Files"}}) {
        QVERIFY(clickPath(tree, QStringList{"System (D:)"} + clicks));
        paths.append(tree.path());
    }
    for (int i : {1, 2}) {
        clickNode(tree, drive->child(i));
        paths.append(tree.path());
        QCOMPARE(drive->child(i)->childCount(), 1);
    }
    std::sort(paths.begin() + 3, paths.end()); // the two Data in either order
    QCOMPARE(paths,
             QStringList({"D:\\WINDOWS\\",
                          "D:\\WINDOWS\\system32\\",
                          "D:\\program files\\",
                          "D:\\Data\\",
                          "D:\\data\\"}));
}

// Expanding lists every child (so exactly those with sub-folders become expandable),
// raising Click once per child and once for the node, and leaves the node selected. Moving
// with the arrow keys handles each node reached, as a click does. A node with children is
// never listed again: a folder made later shows only when F5 rebuilds the tree, which keeps
// the path but no selection; a node without sub-folders is listed again at every click.
void TestDirTree::expandKeysAndF5()
{
    const QString root = driveD();
    for (const char *folder : {"p/a", "p/b/deeper", "p/c", "p/d/deeper", "p/e"})
        QDir(root).mkpath(QLatin1String(folder));

    DirTree &tree = builtTree();
    QTreeWidgetItem *parent = clickPath(tree, {" (D:)", "P"}); // lists its five children
    QCOMPARE(parent->childCount(), 5);
    QSignalSpy clicks(&tree, &DirTree::Click);
    tree.treeView()->expandItem(parent);
    QCOMPARE(clicks.count(), 6);
    QCOMPARE(tree.treeView()->currentItem(), parent);
    QVERIFY(parent->isSelected());
    QCOMPARE(tree.path(), QStringLiteral("D:\\p\\"));
    QList<int> grandChildren;
    for (int i = 0; i < parent->childCount(); ++i)
        grandChildren.append(parent->child(i)->childCount());
    QCOMPARE(grandChildren, QList<int>({0, 1, 0, 1, 0}));

    tree.treeView()->setFocus();
    QTest::keyClick(tree.treeView(), Qt::Key_Down);
    QCOMPARE(tree.path(), QStringLiteral("D:\\p\\a\\"));
    QTest::keyClick(tree.treeView(), Qt::Key_Down);
    QCOMPARE(tree.path(), QStringLiteral("D:\\p\\b\\"));

    m_machine->makeFolder(QStringLiteral("D:\\p\\a\\later"));
    m_machine->makeFolder(QStringLiteral("D:\\new"));
    clickNode(tree, parent->child(0));
    QCOMPARE(childTexts(parent->child(0)), QStringList({"Later"}));
    clickNode(tree, node("root68"));
    QCOMPARE(childTexts(node("root68")), QStringList({"P"}));

    clicks.clear();
    QTest::keyClick(tree.treeView(), Qt::Key_F5);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(tree.path(), QStringLiteral("D:\\"));
    QCOMPARE(tree.treeView()->currentItem(), nullptr);
    QCOMPARE(childTexts(node("root68")), QStringList({"New", "P"}));

    // "*" would expand the whole branch (and list every folder below it): not offered.
    tree.treeView()->setCurrentItem(node("root68"));
    QTest::keyClick(tree.treeView(), Qt::Key_Asterisk);
    QVERIFY(!node("root68")->isExpanded());
}

// The eight images are drawn at 16 x 16, not blank squares.
void TestDirTree::imagesAreDrawn()
{
    TreeImages images;
    QCOMPARE(TreeImages::keys(),
             QStringList({"unknown", "fixed", "ram", "remove", "cd", "folder", "open", "remote"}));
    for (const QString &key : TreeImages::keys()) {
        const QImage image = images.image(key).pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        int drawn = 0;
        for (int i = 0; i < 256; ++i)
            drawn += qAlpha(image.pixel(i % 16, i / 16)) > 128 ? 1 : 0;
        QVERIFY2(drawn > 32, qPrintable(key));
    }
}

QTEST_MAIN(TestDirTree)
#include "test_dir_tree.moc"
