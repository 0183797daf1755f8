#include "tree_clicks.h"

#include "browser/dir_tree.h"
#include "browser/tree_images.h"
#include "temp_machine.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <memory>

Q_DECLARE_METATYPE(DriveKind)

class TestDirTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void driveNodes_data();
    void driveNodes();
    void drivesInLetterOrder();
    void foldersSortedInProperCase();
    void paths_data();
    void paths();
    void keyboardMovesHandleNodes();
    void namesDifferingOnlyInCase();
    void expandHandlesEachChildThenTheNode();
    void foldersMadeLaterShowAfterF5();
    void imagesAreDrawn();

private:
    // A shown tree over the current machine, built as the folder browser builds it.
    DirTree &builtTree();

    std::unique_ptr<TempMachine> m_machine;
    std::unique_ptr<DirTree> m_tree;
};

void TestDirTree::init()
{
    m_machine = std::make_unique<TempMachine>();
}

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

void TestDirTree::driveNodes_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<DriveKind>("kind");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("listedAtBuild");

    const QChar c('C'), d('D');
    QTest::newRow("fixed, labelled") << c << DriveKind::Fixed << "SYSTEM"
                                     << "root67"
                                     << "System (C:)"
                                     << "fixed" << true;
    QTest::newRow("fixed, no label") << c << DriveKind::Fixed << ""
                                     << "root67"
                                     << " (C:)"
                                     << "fixed" << true;
    QTest::newRow("removable") << d << DriveKind::Removable << "CARD"
                               << "root68"
                               << "(D:)"
                               << "remove" << false;
    QTest::newRow("remote") << d << DriveKind::Remote << "public share"
                            << "root68"
                            << "Public Share (D:)"
                            << "remote" << true;
    QTest::newRow("cd-rom") << d << DriveKind::CdRom << "MOVIE_DISC"
                            << "root68"
                            << "Movie_disc (D:)"
                            << "cd" << true;
    QTest::newRow("ram disk") << d << DriveKind::RamDisk << "scratch"
                              << "root68"
                              << "Scratch (D:)"
                              << "ram" << true;
    QTest::newRow("unknown") << d << DriveKind::Unknown << "odd one"
                             << "root68"
                             << "Odd One (D:)"
                             << "unknown" << true;
}

void TestDirTree::driveNodes()
{
    QFETCH(QChar, letter);
    QFETCH(DriveKind, kind);
    QFETCH(QString, label);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, image);
    QFETCH(bool, listedAtBuild);

    const QString root = letter == QLatin1Char('C') ? m_machine->nativeC()
                                                    : m_machine->addDrive(letter, kind, label);
    m_machine->setVolume(
            {QStringLiteral("drive-") + letter, root, kind, label, true, letter, {}, {}});
    QDir(root).mkpath(QStringLiteral("videos/clips"));
    const QString drive = QString(letter) + QStringLiteral(":\\");

    DirTree &tree = builtTree();
    QTreeWidgetItem *node = tree.nodeByKey(key);
    QVERIFY(node);
    QCOMPARE(node->text(0), text);
    QCOMPARE(DirTree::nodeImage(node), image);
    QCOMPARE(DirTree::nodeSelectedImage(node), image);
    QCOMPARE(node->childCount() > 0, listedAtBuild);
    if (listedAtBuild) // one level of folders only
        QCOMPARE(childNamed(node, QStringLiteral("Videos"))->childCount(), 0);

    QSignalSpy clicks(&tree, &DirTree::Click);
    clickNode(tree, node);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(tree.path(), drive);
    QVERIFY(childNamed(node, QStringLiteral("Videos")));
}

// Letters without a drive and drives whose label cannot be read get no node; a removable
// slot without a medium still shows, and a click on it gives its root and a Click.
void TestDirTree::drivesInLetterOrder()
{
    m_machine->addDrive(QLatin1Char('F'), DriveKind::Fixed, QStringLiteral("aaa"));
    m_machine->addDrive(QLatin1Char('E'), DriveKind::Removable, QStringLiteral("zzz"));
    m_machine->addEmptySlot(QLatin1Char('G'), DriveKind::CdRom);
    m_machine->addEmptySlot(QLatin1Char('A'), DriveKind::Removable);

    DirTree &tree = builtTree();
    QStringList keys;
    for (int i = 0; i < tree.treeView()->topLevelItemCount(); ++i)
        keys.append(DirTree::nodeKey(tree.treeView()->topLevelItem(i)));
    QCOMPARE(keys, QStringList({"root65", "root67", "root69", "root70"}));

    QSignalSpy clicks(&tree, &DirTree::Click);
    QTreeWidgetItem *slot = tree.nodeByKey(QStringLiteral("root65"));
    QCOMPARE(slot->text(0), QStringLiteral("(A:)"));
    clickNode(tree, slot);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(tree.path(), QStringLiteral("A:\\"));
    QCOMPARE(slot->childCount(), 0);
}

// Only folders show, in proper case, sorted ignoring case; paths use the real names.
void TestDirTree::foldersSortedInProperCase()
{
    const QString root
            = m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, QStringLiteral("Data"));
    for (const char *folder :
         {"WINDOWS", "program files", "system32", "MY_DOCS", "_private", ".config"})
        QDir(root).mkpath(QLatin1String(folder));
    m_machine->writeFile(QStringLiteral("D:\\readme.txt"));
    m_machine->writeFile(QStringLiteral("D:\\Zeta"));

    DirTree &tree = builtTree();
    QTreeWidgetItem *drive = tree.nodeByKey(QStringLiteral("root68"));
    QCOMPARE(childTexts(drive),
             QStringList({"_private", "My_docs", "Program Files", "System32", "Windows"}));
    for (int i = 0; i < drive->childCount(); ++i) {
        QCOMPARE(DirTree::nodeKey(drive->child(i)), QString());
        QCOMPARE(DirTree::nodeImage(drive->child(i)), QStringLiteral("folder"));
        QCOMPARE(DirTree::nodeSelectedImage(drive->child(i)), QStringLiteral("open"));
    }
    clickNode(tree, childNamed(drive, QStringLiteral("Program Files")));
    QCOMPARE(tree.path(), QStringLiteral("D:\\program files\\"));
}

void TestDirTree::paths_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("clicks"); // node texts from the drive down
    QTest::addColumn<QString>("path");

    QTest::newRow("drive") << "SYSTEM" << QStringList{"System (D:)"} << "D:\\";
    QTest::newRow("unlabelled drive") << "" << QStringList{" (D:)"} << "D:\\";
    QTest::newRow("label that looks like a drive")
            << "X:(Y:)" << QStringList{"X:(y:) (D:)"} << "D:\\";
    QTest::newRow("folder") << "SYSTEM" << QStringList{"System (D:)", "Windows"} << "D:\\WINDOWS\\";
    QTest::newRow("sub-folder") << "SYSTEM" << QStringList{"System (D:)", "Windows", "System32"}
                                << "D:\\WINDOWS\\system32\\";
    QTest::newRow("folder with blanks")
            << "SYSTEM" << QStringList{"System (D:)", "Program Files"} << "D:\\program files\\";
}

void TestDirTree::paths()
{
    QFETCH(QString, label);
    QFETCH(QStringList, clicks);
    QFETCH(QString, path);
    const QString root = m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, label);
    QDir(root).mkpath(QStringLiteral("WINDOWS/system32/drivers"));
    QDir(root).mkpath(QStringLiteral("program files"));

    DirTree &tree = builtTree();
    QCOMPARE(tree.path(), QString());
    QTreeWidgetItem *node = tree.nodeByKey(QStringLiteral("root68"));
    QCOMPARE(node->text(0), clicks.first());
    clickNode(tree, node);
    for (const QString &text : clicks.mid(1)) {
        node = childNamed(node, text);
        QVERIFY2(node, qPrintable(text));
        clickNode(tree, node);
    }
    QCOMPARE(tree.path(), path);
}

// Moving with the arrow keys handles each node reached, as a click does: the folder shown
// selected is the folder the tree hands out.
void TestDirTree::keyboardMovesHandleNodes()
{
    const QString root
            = m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, QStringLiteral("x"));
    QDir(root).mkpath(QStringLiteral("alpha/inner"));
    QDir(root).mkpath(QStringLiteral("beta"));

    DirTree &tree = builtTree();
    QTreeWidgetItem *drive = tree.nodeByKey(QStringLiteral("root68"));
    clickNode(tree, drive);
    QSignalSpy clicks(&tree, &DirTree::Click);
    tree.treeView()->setFocus();
    QTest::keyClick(tree.treeView(), Qt::Key_Right); // expands the drive
    QTest::keyClick(tree.treeView(), Qt::Key_Down);
    QCOMPARE(tree.treeView()->currentItem()->text(0), QStringLiteral("Alpha"));
    QCOMPARE(tree.path(), QStringLiteral("D:\\alpha\\"));
    QTest::keyClick(tree.treeView(), Qt::Key_Down);
    QCOMPARE(tree.path(), QStringLiteral("D:\\beta\\"));
    QVERIFY(clicks.count() >= 2);
}

// Linux keeps "data" and "Data" apart: both show as Data, each leads to its own folder.
void TestDirTree::namesDifferingOnlyInCase()
{
    const QString root
            = m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, QStringLiteral("x"));
    QDir(root).mkpath(QStringLiteral("data/lower"));
    QDir(root).mkpath(QStringLiteral("Data/upper"));

    DirTree &tree = builtTree();
    QTreeWidgetItem *drive = tree.nodeByKey(QStringLiteral("root68"));
    QCOMPARE(childTexts(drive), QStringList({"Data", "Data"}));
    QStringList paths;
    for (int i = 0; i < 2; ++i) {
        clickNode(tree, drive->child(i));
        paths.append(tree.path());
        QCOMPARE(drive->child(i)->childCount(), 1);
    }
    paths.sort();
    QCOMPARE(paths, QStringList({"D:\\Data\\", "D:\\data\\"}));
}

void TestDirTree::expandHandlesEachChildThenTheNode()
{
    const QString root
            = m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, QStringLiteral("x"));
    for (const char *folder :
         {"parent/a", "parent/b/deeper", "parent/c", "parent/d/deeper", "parent/e"})
        QDir(root).mkpath(QLatin1String(folder));

    DirTree &tree = builtTree();
    QTreeWidgetItem *parent
            = childNamed(tree.nodeByKey(QStringLiteral("root68")), QStringLiteral("Parent"));
    clickNode(tree, parent); // lists its five children
    QCOMPARE(parent->childCount(), 5);

    QSignalSpy clicks(&tree, &DirTree::Click);
    tree.treeView()->expandItem(parent);
    QCOMPARE(clicks.count(), 6);
    QCOMPARE(tree.treeView()->currentItem(), parent);
    QVERIFY(parent->isSelected());
    QCOMPARE(tree.path(), QStringLiteral("D:\\parent\\"));
    QList<int> grandChildren;
    for (int i = 0; i < parent->childCount(); ++i)
        grandChildren.append(parent->child(i)->childCount());
    QCOMPARE(grandChildren, QList<int>({0, 1, 0, 1, 0}));
}

// A node with children is never listed again: a folder made after its parent was listed
// shows only when F5 rebuilds the tree, which keeps the path but no selection. A node
// without sub-folders is listed again at every click.
void TestDirTree::foldersMadeLaterShowAfterF5()
{
    m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, QStringLiteral("x"));
    m_machine->makeFolder(QStringLiteral("D:\\old"));

    DirTree &tree = builtTree();
    QTreeWidgetItem *old
            = childNamed(tree.nodeByKey(QStringLiteral("root68")), QStringLiteral("Old"));
    clickNode(tree, old);
    m_machine->makeFolder(QStringLiteral("D:\\old\\later"));
    clickNode(tree, old);
    QCOMPARE(childTexts(old), QStringList({"Later"}));

    clickNode(tree, tree.nodeByKey(QStringLiteral("root68")));
    m_machine->makeFolder(QStringLiteral("D:\\new"));
    clickNode(tree, tree.nodeByKey(QStringLiteral("root68")));
    QCOMPARE(childTexts(tree.nodeByKey(QStringLiteral("root68"))), QStringList({"Old"}));

    QSignalSpy clicks(&tree, &DirTree::Click);
    QTest::keyClick(tree.treeView(), Qt::Key_F5);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(tree.path(), QStringLiteral("D:\\"));
    QCOMPARE(tree.treeView()->currentItem(), nullptr);
    QCOMPARE(childTexts(tree.nodeByKey(QStringLiteral("root68"))), QStringList({"New", "Old"}));

    // "*" would expand the whole branch (and list every folder below it): not offered.
    tree.treeView()->setCurrentItem(tree.nodeByKey(QStringLiteral("root68")));
    QTest::keyClick(tree.treeView(), Qt::Key_Asterisk);
    QVERIFY(!tree.nodeByKey(QStringLiteral("root68"))->isExpanded());
}

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
        QVERIFY2(drawn > 32, qPrintable(key)); // drawn, not a blank square
    }
}

QTEST_MAIN(TestDirTree)
#include "test_dir_tree.moc"
