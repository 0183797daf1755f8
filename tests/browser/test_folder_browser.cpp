// The folder browser: the directory tree control on its own, then the dialog that hosts it.

#include "hung_mount.h"
#include "tree_clicks.h"
#include "window_fixture.h"

#include "browser/form9.h"
#include "browser/form9_layout.h"
#include "browser/timed_listing.h"
#include "browser/tree_images.h"
#include "widgets/file_list_box.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <memory>

class TestFolderBrowser : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_app = std::make_unique<WindowFixture>();
        m_app->install(true, false);
        m_app->open();
        m_machine = &m_app->machine;
    }
    void cleanup()
    {
        m_tree.reset();
        m_app.reset();
    }

    void drives_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("image"); // also when selected
        QTest::addColumn<int>("folders");   // listed before the first click
        QTest::newRow("A: no medium") << "root65"
                                      << "(A:)"
                                      << "remove" << 0;
        QTest::newRow("C: system") << "root67"
                                   << "System (C:)"
                                   << "fixed" << 2;
        QTest::newRow("D: removable") << "root68"
                                      << "(D:)"
                                      << "remove" << 0;
        QTest::newRow("E: remote") << "root69"
                                   << "Public Share (E:)"
                                   << "remote" << 1;
        QTest::newRow("F: CD") << "root70"
                               << "Movie_disc (F:)"
                               << "cd" << 1;
        QTest::newRow("H: RAM disk") << "root72"
                                     << "Scratch (H:)"
                                     << "ram" << 1;
        QTest::newRow("I: unknown") << "root73"
                                    << "Odd One (I:)"
                                    << "unknown" << 1;
        QTest::newRow("J: no label") << "root74"
                                     << " (J:)"
                                     << "fixed" << 1;
        QTest::newRow("K: a label like a drive") << "root75"
                                                 << "X:(y:) (K:)"
                                                 << "fixed" << 1;
    }

    // Drive nodes of each kind (none for a missing or unreadable one), listed one level deep
    // unless removable; a click on a drive gives its root and a Click, and lists it.
    void drives()
    {
        QFETCH(QString, key);
        QFETCH(QString, image);
        m_machine->addEmptySlot(QLatin1Char('A'), DriveKind::Removable);
        m_machine->setVolume(
                {"drive-C", m_machine->nativeC(), DriveKind::Fixed, "SYSTEM", true, u'C', {}, {}});
        const auto add = [this](char letter, DriveKind kind, const char *label) {
            QDir(m_machine->addDrive(QLatin1Char(letter), kind, label)).mkpath("videos/clips");
        };
        add('D', DriveKind::Removable, "CARD");
        add('E', DriveKind::Remote, "public share");
        add('F', DriveKind::CdRom, "MOVIE_DISC");
        add('H', DriveKind::RamDisk, "scratch");
        add('I', DriveKind::Unknown, "odd one");
        add('J', DriveKind::Fixed, "");
        add('K', DriveKind::Fixed, "X:(Y:)");

        DirTree &tree = builtTree();
        QCOMPARE(tree.treeView()->topLevelItemCount(), 9); // none for B: and G:
        QTreeWidgetItem *drive = m_tree->nodeByKey(key);
        QVERIFY(drive);
        QTEST(drive->text(0), "text");
        QCOMPARE(DirTree::nodeImage(drive), image);
        QCOMPARE(DirTree::nodeSelectedImage(drive), image);
        QTEST(int(drive->childCount()), "folders");
        if (key == "root74") // one level deep
            QCOMPARE(childNamed(drive, QStringLiteral("Videos"))->childCount(), 0);

        QSignalSpy clicks(&tree, &DirTree::Click);
        clickNode(tree, drive);
        QCOMPARE(tree.path(), drive->text(0).right(3).left(2) + '\\');
        QCOMPARE(clicks.count(), 1);
        if (key == "root68") // a removable drive is listed once clicked
            QCOMPARE(childTexts(drive), QStringList{"Videos"});
        if (key == "root65") // an empty slot stays empty
            QCOMPARE(drive->childCount(), 0);
    }

    // Folders only, in proper case and a language-neutral order; paths from the real names,
    // empty until a node is handled.
    void foldersAndPaths()
    {
        const QDir root(m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed, "SYSTEM"));
        for (const QString &folder :
             QString("WINDOWS/system32/drivers|program files|MY_DOCS|_private|.config|data/lower|"
                     "Data/upper|zebra|Übung")
                     .split('|'))
            root.mkpath(folder);
        m_machine->writeFile(QStringLiteral("D:\\readme.txt"));
        m_machine->writeFile(QStringLiteral("D:\\Zeta"));

        DirTree &tree = builtTree();
        QCOMPARE(tree.path(), QString());
        QTreeWidgetItem *drive = node("root68");
        QCOMPARE(childTexts(drive).join('|'),
                 "_private|Data|Data|My_docs|Program Files|Übung|Windows|Zebra");
        QCOMPARE(DirTree::nodeKey(drive->child(0)), QString());
        QCOMPARE(DirTree::nodeImage(drive->child(0)), QStringLiteral("folder"));
        QCOMPARE(DirTree::nodeSelectedImage(drive->child(0)), QStringLiteral("open"));

        QStringList paths;
        for (const char *clicks : {"Windows", "Windows/System32", "Program Files"}) {
            QVERIFY(clickPath(tree, ("System (D:)/" + QString(clicks)).split('/')));
            paths.append(tree.path());
        }
        for (int i : {1, 2}) {
            clickNode(tree, drive->child(i));
            paths.append(tree.path());
            QCOMPARE(drive->child(i)->childCount(), 1);
        }
        std::sort(paths.begin() + 3, paths.end()); // the two Data in either order
        QCOMPARE(paths.join('|'),
                 "D:\\WINDOWS\\|D:\\WINDOWS\\system32\\|D:\\program files\\|D:\\Data\\|D:\\data\\");
    }

    void collation_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("German") << "de_DE" << QStringList{"Oben", "Övning", "Tal", "Zebra"};
        QTest::newRow("Swedish: Ö after Z")
                << "sv_SE" << QStringList{"Oben", "Tal", "Zebra", "Övning"};
    }

    // The folders are in the order of the user's locale.
    void collation()
    {
        QFETCH(QString, locale);
        const QDir root(m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed));
        for (const char *folder : {"zebra", "övning", "Oben", "tal"})
            root.mkpath(QString::fromUtf8(folder));
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        builtTree();
        QLocale::setDefault(before);
        QTEST(childTexts(node("root68")), "shown");
    }

    // Expanding lists the children (one Click each, one for the node); arrow keys act as
    // clicks; a listed node is listed again only by F5 (path kept, no selection) or if empty.
    void expandKeysAndF5()
    {
        const QDir root(m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed));
        for (const char *folder : {"p/a", "p/b/deeper", "p/c", "p/d/deeper", "p/e"})
            root.mkpath(QLatin1String(folder));

        DirTree &tree = builtTree();
        QTreeWidgetItem *parent = clickPath(tree, {" (D:)", "P"}); // lists its five children
        QCOMPARE(parent->childCount(), 5);
        QSignalSpy clicks(&tree, &DirTree::Click);
        tree.treeView()->expandItem(parent);
        QCOMPARE(clicks.count(), 6);
        QVERIFY(tree.treeView()->currentItem() == parent && parent->isSelected());
        QCOMPARE(tree.path(), QStringLiteral("D:\\p\\"));
        QList<int> grandChildren;
        for (int i = 0; i < parent->childCount(); ++i)
            grandChildren.append(parent->child(i)->childCount());
        QCOMPARE(grandChildren, QList<int>({0, 1, 0, 1, 0}));

        tree.treeView()->setFocus();
        QTest::keyClick(tree.treeView(), Qt::Key_Down);
        QCOMPARE(tree.path(), QStringLiteral("D:\\p\\a\\"));

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

    // A mount that does not answer, one level below a listed folder: expanding the drive
    // does not ask it; expanding its parent gives up on it within the limit, with no expand
    // mark, and lists its neighbours; its own node is handled at once while that listing
    // still waits, and gets no children.
    void hungMount()
    {
        const QDir root(m_machine->addDrive(QLatin1Char('D'), DriveKind::Fixed));
        for (const char *folder : {"shares/hung", "shares/plain/deeper", "shares/empty"})
            root.mkpath(QLatin1String(folder));
        HungMount mount(QDir(root.filePath("shares/hung")).canonicalPath(), 600);
        if (!mount.unavailable().isEmpty())
            QSKIP(qPrintable(mount.unavailable()));
        DirTree &tree = builtTree();
        QSignalSpy clicks(&tree, &DirTree::Click);
        QElapsedTimer waited;
        QList<qint64> waits;
        QTreeWidgetItem *shares = childNamed(node("root68"), "Shares");
        for (QTreeWidgetItem *expanded : {node("root68"), shares}) {
            waited.start();
            tree.treeView()->expandItem(expanded);
            waits.append(waited.elapsed());
        }
        QTreeWidgetItem *hung = childNamed(shares, "Hung");
        waited.start();
        clickNode(tree, hung);
        waits.append(waited.elapsed());
        // Only the expansion that lists the mount waits for it, and not past the limit.
        const qint64 limit = listingSilenceLimit.count();
        QVERIFY2(waits[0] < limit && waits[1] < limit + 2000 && waits[2] < limit,
                 qPrintable(QStringLiteral("waited %1, %2, %3 ms")
                                    .arg(waits[0])
                                    .arg(waits[1])
                                    .arg(waits[2])));
        QCOMPARE(clicks.count(), 2 + 4 + 1);
        QCOMPARE(tree.path(), QStringLiteral("D:\\shares\\hung\\"));
        QCOMPARE(childTexts(shares), QStringList({"Empty", "Hung", "Plain"}));
        QCOMPARE(hung->childCount() + shares->child(0)->childCount(), 0);
        QCOMPARE(childTexts(shares->child(2)), QStringList({"Deeper"}));
    }

    // OK hands back the highlighted folder: none after tabbing in, Space's, or the one a
    // press on another node was released on.
    void highlightAndPathAgree()
    {
        QVERIFY(useBrowser([&](Form9 &browser) {
            QTreeWidget *view = browser.DirTree1->treeView();
            QSignalSpy clicks(browser.DirTree1, &DirTree::Click);
            for (QPushButton *button : browser.cmd) // OK has the focus, then Cancel
                QTest::keyClick(button, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), view);
            QCOMPARE(browser.DirTree1->path(), QString());
            QVERIFY(view->selectedItems().isEmpty());
            QTest::keyClick(view, Qt::Key_Space);
            QCOMPARE(view->selectedItems(), QList<QTreeWidgetItem *>{view->currentItem()});
            QCOMPARE(browser.DirTree1->path(), QStringLiteral("C:\\"));
            QCOMPARE(clicks.count(), 1);

            QTreeWidgetItem *c = view->topLevelItem(0);
            view->expandItem(c);
            const QPoint from = view->visualItemRect(childNamed(c, "Program Files")).center();
            const QPoint to = view->visualItemRect(childNamed(c, "Windows")).center();
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(view->viewport(), to);
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
            QCOMPARE(view->selectedItems(), QList<QTreeWidgetItem *>{childNamed(c, "Windows")});
            QCOMPARE(browser.DirTree1->path(), QStringLiteral("C:\\Windows\\"));
            QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
        }));
        QCOMPARE(m_app->values.SelectedFolder, QStringLiteral("C:\\Windows\\"));
    }

    // The eight images are drawn at 16 x 16, not blank squares.
    void imagesAreDrawn()
    {
        TreeImages images;
        for (const char *key :
             {"unknown", "fixed", "ram", "remove", "cd", "folder", "open", "remote"}) {
            const QImage image = images.image(QLatin1String(key)).pixmap(16, 16).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            int drawn = 0;
            for (int i = 0; i < 256; ++i)
                drawn += qAlpha(image.pixel(i % 16, i / 16)) > 128 ? 1 : 0;
            QVERIFY2(drawn > 32, key);
        }
    }

    void layoutForClientArea_data()
    {
        QTest::addColumn<QSizeF>("client");
        QTest::addColumn<QSizeF>("pane"); // the tree's and the panel's size
        QTest::addColumn<double>("buttonTop");

        QTest::newRow("as laid out") << QSizeF(3636, 4452) << QSizeF(3600, 4080) << 4060.0;
        QTest::newRow("smallest") << QSizeF(3636, 1800) << QSizeF(3600, 1428) << 1408.0;
        QTest::newRow("no area at all") << QSizeF(0, 0) << QSizeF(0, 0) << 0.0;
    }

    // Laid out for the client area plus the drawn frame: buttons on the tree's lower edge at
    // fixed places, inside the client area; nothing turns negative.
    void layoutForClientArea()
    {
        QFETCH(QSizeF, client);
        QFETCH(QSizeF, pane);
        QFETCH(double, buttonTop);
        const Form9Layout layout = form9Layout(form9OuterSize(client));
        QCOMPARE(layout.picture1, QRectF(QPointF(0, -10), pane));
        QCOMPARE(layout.dirTree1, QRectF(QPointF(0, -20), pane));
        QCOMPARE(layout.ok, QRectF(2000, buttonTop, 1455, 375));
        QCOMPARE(layout.cancel, QRectF(175, buttonTop, 1455, 375));
        if (client.height() >= 1800)
            QVERIFY(layout.ok.bottom() < client.height() && layout.ok.right() < client.width());
    }

    void buttons_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("button"); // 0 OK, 1 Cancel
        QTest::addColumn<QString>("selected");

        const QStringList windows{"Clipferry (C:)", "Windows"};
        QTest::newRow("OK") << windows << 0 << "C:\\Windows\\";
        QTest::newRow("OK at once") << QStringList() << 0 << QString();
        QTest::newRow("Cancel") << windows << 1 << "C:\\Program Files\\Clipferry";
    }

    // OK gives the tree's path, Cancel the program's folder; both only hide the window and hand
    // the choice back: the main window's lists stay as they were (the folder commands apply it).
    void buttons()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, button);
        m_app->form->File1->setPath(QStringLiteral("C:\\Windows"));
        m_app->form->File2->setPath(QStringLiteral("C:\\Program Files"));
        QVERIFY(useBrowser([&](Form9 &browser) {
            if (!clicks.isEmpty())
                QVERIFY(clickPath(*browser.DirTree1, clicks));
            QTest::mouseClick(browser.cmd[button], Qt::LeftButton);
            QVERIFY(!browser.isVisible());
        }));
        QTEST(m_app->values.SelectedFolder, "selected");
        QCOMPARE(m_app->form->File1->Path() + '|' + m_app->form->File2->Path(),
                 "C:\\Windows|C:\\Program Files");
        QVERIFY(m_app->form->folders().folderBrowserLoaded());
    }

    // Three uses: shown at 242 x 297 pixels (96 dpi), half its width left of the main window
    // and an eighth of its height above it; Enter and Escape mean nothing; a resize carries
    // the buttons down with the tree (shrinking: the desktop tests); OK keeps tree, selection
    // and place, the title bar's close unloads it all.
    void usesOneAfterAnother()
    {
        m_app->form->move(10, 20);
        QPointer<Form9> first = &m_app->form->folders().folderBrowser();
        const QPoint placed(-112, -20); // the frame's corner; the main window's is at 10, 20
        const QPoint movedTo = placed + QPoint(50, 50);
        const QString folder = QStringLiteral("C:\\Program Files\\Clipferry\\");
        QVERIFY(useBrowser([&](Form9 &browser) {
            QCOMPARE(browser.pos(), placed);
            QCOMPARE(browser.size(), QSize(242, 297));
            QCOMPARE(QApplication::focusWidget(), browser.cmd[0]);
            QTest::keyClick(&browser, Qt::Key_Escape);
            QTest::keyClick(browser.cmd[0], Qt::Key_Return);
            QTest::keyClick(browser.cmd[0], Qt::Key_Enter);
            QVERIFY(browser.isVisible());
            const QSize tree = browser.DirTree1->size(), panel = browser.Picture1->size();
            const QPoint ok = browser.cmd[0]->pos();
            browser.resize(browser.size() + QSize(75, 95));
            QTRY_COMPARE(browser.DirTree1->size(), tree + QSize(75, 95));
            QCOMPARE(browser.Picture1->size(), panel + QSize(75, 95));
            QCOMPARE(browser.DirTree1->treeView()->geometry(),
                     QRect(QPoint(), browser.DirTree1->size()));
            QCOMPARE(browser.cmd[0]->pos(), ok + QPoint(0, 95));
            QVERIFY(browser.cmd[1]->x() < ok.x() && buttonsUnderTree(browser));
            QVERIFY(clickPath(*browser.DirTree1, {"Clipferry (C:)", "Program Files", "Clipferry"}));
            browser.move(movedTo);
            QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
        }));
        QCOMPARE(m_app->values.SelectedFolder, folder);
        QTreeWidgetItem *selected = first->DirTree1->treeView()->currentItem();
        m_app->values.SelectedFolder.clear();
        QVERIFY(useBrowser([&](Form9 &browser) {
            QCOMPARE(&browser, first.data());
            QCOMPARE(browser.pos(), movedTo);
            QCOMPARE(browser.DirTree1->treeView()->currentItem(), selected);
            QVERIFY(buttonsUnderTree(browser));
            QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
        }));
        QCOMPARE(m_app->values.SelectedFolder, folder);

        QVERIFY(!useBrowser([&](Form9 &browser) {
            QVERIFY(clickPath(*browser.DirTree1, {"Clipferry (C:)", "Windows"}));
            browser.windowHandle()->close();
            // Whatever event loop runs next (this one) deletes nothing before the answer is read.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }));
        QCOMPARE(m_app->values.SelectedFolder, folder);
        QVERIFY(!m_app->form->folders().folderBrowserLoaded());
        Form9 &second = m_app->form->folders().folderBrowser();
        QCOMPARE(second.pos(), placed);
        QCOMPARE(second.DirTree1->path(), QString());
        QCOMPARE(second.DirTree1->nodeByKey(QStringLiteral("root67"))->childCount(), 2);
        QTRY_VERIFY(first.isNull());
    }

private:
    // A shown tree over the current machine, built as the folder browser builds it.
    DirTree &builtTree()
    {
        m_tree = std::make_unique<DirTree>();
        m_tree->resize(320, 480);
        m_tree->show();
        if (!QTest::qWaitForWindowExposed(m_tree.get()))
            qWarning("tree window not exposed");
        m_tree->GoList();
        return *m_tree;
    }
    QTreeWidgetItem *node(const char *key) { return m_tree->nodeByKey(QLatin1String(key)); }

    // Shows the browser modally, as the folder commands do, and lets the user act in it once
    // it is on the screen; fails when it never comes up. Returns what the modal show returns:
    // whether OK or Cancel hid the window.
    bool useBrowser(const std::function<void(Form9 &)> &user)
    {
        Form9 &browser = m_app->form->folders().folderBrowser();
        browser.setWindowTitle(QStringLiteral("Select MPG-input directory"));
        bool acted = false;
        QTimer::singleShot(0, &browser, [&] {
            acted = QTest::qWaitForWindowExposed(&browser);
            if (acted)
                user(browser);
            if (browser.isVisible()) // a user who did not leave: let the test go on
                browser.hide();
        });
        const bool answered = browser.showModal();
        if (!acted)
            QTest::qFail("The folder browser never came up", __FILE__, __LINE__);
        return answered && acted;
    }

    std::unique_ptr<WindowFixture> m_app;
    TempMachine *m_machine = nullptr;
    std::unique_ptr<DirTree> m_tree;
};

QTEST_MAIN(TestFolderBrowser)
#include "test_folder_browser.moc"
