#include "tree_clicks.h"

#include "app/form1.h"
#include "browser/dir_tree.h"
#include "browser/form9.h"
#include "browser/form9_layout.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "sources/file_list_box.h"
#include "temp_machine.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <functional>
#include <memory>

namespace {
const QString programFolder = QStringLiteral("C:\\Program Files\\Clipferry");
} // namespace

class TestForm9 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_world.reset(); }

    void layoutForOuterSize_data();
    void layoutForOuterSize();
    void buttons_data();
    void buttons();
    void usesOneAfterAnother();
    void resizeKeepsTreeAboveButtons_data();
    void resizeKeepsTreeAboveButtons();

private:
    // Shows the browser modally, as the folder commands do, and lets the user act in it.
    void useBrowser(const std::function<void(Form9 &)> &user);

    // A machine of temporary folders with the engine, and the main window on it.
    struct Fixture
    {
        TempMachine machine;
        ScriptedDialogs dialogs;
        ProgramValues values;
        ScriptedBackend *backend = nullptr;
        std::unique_ptr<Form1> form;
    };
    std::unique_ptr<Fixture> m_world;
    Form1 *m_form = nullptr;
    ProgramValues *m_values = nullptr;
};

void TestForm9::init()
{
    m_world = std::make_unique<Fixture>();
    m_world->machine.writeFile(
            "C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll");
    m_world->form = std::make_unique<Form1>(m_world->values,
                                            [this] { return scriptedEncoder(&m_world->backend); });
    m_form = m_world->form.get();
    m_values = &m_world->values;
}

void TestForm9::useBrowser(const std::function<void(Form9 &)> &user)
{
    Form9 &browser = m_form->folderBrowser();
    browser.setWindowTitle(QStringLiteral("Select MPG-input directory"));
    bool acted = false;
    QTimer::singleShot(0, &browser, [&] {
        if (QTest::qWaitForWindowExposed(&browser))
            user(browser);
        acted = true;
        if (browser.isVisible()) // a user who did not leave: let the test go on
            browser.hide();
    });
    browser.showModal();
    QVERIFY(acted);
}

void TestForm9::layoutForOuterSize_data()
{
    QTest::addColumn<QSizeF>("outer");
    QTest::addColumn<QSizeF>("pane"); // the tree's and the panel's size
    QTest::addColumn<double>("buttonTop");

    QTest::newRow("as laid out") << QSizeF(3675, 4775) << QSizeF(3600, 4080) << 4060.0;
    QTest::newRow("wider and taller") << QSizeF(5675, 5775) << QSizeF(5600, 5080) << 5060.0;
    QTest::newRow("at the bounds") << QSizeF(75, 715) << QSizeF(0, 20) << 0.0;
    QTest::newRow("below the bounds") << QSizeF(40, 600) << QSizeF(0, 0) << 0.0;
}

// The tree and the panel fill the window less 75 and 695 twips, their tops cut off; both
// buttons sit on the tree's lower edge at fixed places; nothing turns negative.
void TestForm9::layoutForOuterSize()
{
    QFETCH(QSizeF, outer);
    QFETCH(QSizeF, pane);
    QFETCH(double, buttonTop);
    const Form9Layout layout = form9Layout(outer);
    QCOMPARE(layout.picture1, QRectF(QPointF(0, -10), pane));
    QCOMPARE(layout.dirTree1, QRectF(QPointF(0, -20), pane));
    QCOMPARE(layout.ok, QRectF(2000, buttonTop, 1455, 375));
    QCOMPARE(layout.cancel, QRectF(175, buttonTop, 1455, 375));
}

void TestForm9::buttons_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("button"); // 0 OK, 1 Cancel
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("output"); // File2's folder before
    QTest::addColumn<QString>("outputAfter");

    const QStringList windows{"Clipferry (C:)", "Windows"};
    const QString input = QStringLiteral("C:\\Windows"); // File1's folder
    QTest::newRow("OK") << windows << 0 << "C:\\Windows\\"
                        << "" << input;
    QTest::newRow("OK at once") << QStringList() << 0 << ""
                                << "" << input;
    QTest::newRow("Cancel") << windows << 1 << programFolder << "" << input;
    const QString output = QStringLiteral("C:\\Program Files");
    QTest::newRow("output kept") << windows << 0 << "C:\\Windows\\" << output << output;
}

// OK gives the tree's path (empty before any node was handled), Cancel the program's
// folder; either only hides the window, and an output list without a folder takes the
// input list's.
void TestForm9::buttons()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, button);
    QFETCH(QString, output);
    m_form->File1->setPath(QStringLiteral("C:\\Windows"));
    if (!output.isEmpty())
        m_form->File2->setPath(output);
    useBrowser([&](Form9 &browser) {
        if (!clicks.isEmpty())
            QVERIFY(clickPath(*browser.DirTree1, clicks));
        QTest::mouseClick(browser.cmd[button], Qt::LeftButton);
        QVERIFY(!browser.isVisible());
    });
    QTEST(m_values->SelectedFolder, "selected");
    QTEST(m_form->File2->Path(), "outputAfter");
    QVERIFY(m_form->folderBrowserLoaded());
}

// A walk through three uses. Loading builds the tree and places the window half its width
// left of the main window and an eighth of its height above it, not held on the screen
// (here partly off it). OK has the focus, but Enter and Escape mean nothing. OK only
// hides the window: the next use shows the same tree, selection and place, and OK at once
// gives the same folder again. Closing through the title bar leaves SelectedFolder as it
// was and unloads the window: the next use builds a new tree and places the window afresh.
void TestForm9::usesOneAfterAnother()
{
    m_form->move(10, 20);
    QPointer<Form9> first = &m_form->folderBrowser();
    QCOMPARE(first->windowTitle(), QString());
    const QPoint placed = first->pos();
    const QSize outer = first->frameGeometry().size();
    QVERIFY(qAbs(placed.x() - (10 - outer.width() / 2.0)) <= 1);
    QVERIFY(qAbs(placed.y() - (20 - outer.height() / 8.0)) <= 1);
    const QPoint movedTo = placed + QPoint(50, 50);
    const QString folder = QStringLiteral("C:\\Program Files\\Clipferry\\");
    useBrowser([&](Form9 &browser) {
        QCOMPARE(QApplication::focusWidget(), browser.cmd[0]);
        QTest::keyClick(&browser, Qt::Key_Escape);
        QTest::keyClick(browser.cmd[0], Qt::Key_Return);
        QTest::keyClick(browser.cmd[0], Qt::Key_Enter);
        QVERIFY(browser.isVisible());
        QVERIFY(clickPath(*browser.DirTree1, {"Clipferry (C:)", "Program Files", "Clipferry"}));
        browser.move(movedTo);
        QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
    });
    QCOMPARE(m_values->SelectedFolder, folder);
    QTreeWidgetItem *selected = first->DirTree1->treeView()->currentItem();
    m_values->SelectedFolder.clear();
    useBrowser([&](Form9 &browser) {
        QCOMPARE(&browser, first.data());
        QCOMPARE(browser.pos(), movedTo);
        QCOMPARE(browser.DirTree1->treeView()->currentItem(), selected);
        QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
    });
    QCOMPARE(m_values->SelectedFolder, folder);

    useBrowser([&](Form9 &browser) {
        QVERIFY(clickPath(*browser.DirTree1, {"Clipferry (C:)", "Windows"}));
        browser.windowHandle()->close();
    });
    QCOMPARE(m_values->SelectedFolder, folder);
    QVERIFY(!m_form->folderBrowserLoaded());
    Form9 &second = m_form->folderBrowser();
    QVERIFY(&second != first.data() || first.isNull());
    QCOMPARE(second.pos(), placed);
    QCOMPARE(second.DirTree1->path(), QString());
    QCOMPARE(second.DirTree1->nodeByKey(QStringLiteral("root67"))->childCount(), 2);
    QTRY_VERIFY(first.isNull());
}

void TestForm9::resizeKeepsTreeAboveButtons_data()
{
    QTest::addColumn<QSize>("growth");
    QTest::newRow("larger") << QSize(75, 95);
    QTest::newRow("smaller") << QSize(-60, -80);
}

// Dragging the border resizes the tree and the panel with the window; the tree view fills
// the tree control, and the buttons move down with the tree's lower edge, not sideways.
void TestForm9::resizeKeepsTreeAboveButtons()
{
    QFETCH(QSize, growth);
    useBrowser([&](Form9 &browser) {
        const QRect tree = browser.DirTree1->geometry();
        const QSize panel = browser.Picture1->size();
        const QPoint ok = browser.cmd[0]->pos();
        const QPoint cancel = browser.cmd[1]->pos();
        QCOMPARE(tree.bottom() + 1, ok.y());
        browser.resize(browser.size() + growth);
        QTRY_COMPARE(browser.DirTree1->size(), tree.size() + growth);
        QCOMPARE(browser.Picture1->size(), panel + growth);
        QCOMPARE(browser.DirTree1->treeView()->geometry(),
                 QRect(QPoint(0, 0), browser.DirTree1->size()));
        QCOMPARE(browser.cmd[0]->pos(), ok + QPoint(0, growth.height()));
        QCOMPARE(browser.cmd[1]->pos(), cancel + QPoint(0, growth.height()));
        QVERIFY(browser.cmd[1]->x() < browser.cmd[0]->x());
        browser.hide();
    });
}

QTEST_MAIN(TestForm9)
#include "test_form9.moc"
