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

class TestForm9 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutForOuterSize_data();
    void layoutForOuterSize();
    void firstUsePlacesWindowBesideMainWindow_data();
    void firstUsePlacesWindowBesideMainWindow();
    void buttons_data();
    void buttons();
    void secondUseShowsTheSameTree();
    void titleBarCloseUnloads();
    void outputListTakesInputFolder_data();
    void outputListTakesInputFolder();
    void enterAndEscapeMeanNothing();
    void resizeKeepsTreeAboveButtons_data();
    void resizeKeepsTreeAboveButtons();

private:
    // Shows the browser modally, as the folder commands do, and lets the user act in it.
    void useBrowser(const std::function<void(Form9 &)> &user);
    void clickPath(Form9 &browser, const QStringList &texts);

    std::unique_ptr<TempMachine> m_machine;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    ScriptedBackend *m_backend = nullptr;
    ProgramValues m_values;
    std::unique_ptr<Form1> m_form;
};

void TestForm9::init()
{
    m_machine = std::make_unique<TempMachine>();
    m_machine->writeFile(
            QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll"));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_values = ProgramValues();
    m_form = std::make_unique<Form1>(m_values, [this] { return scriptedEncoder(&m_backend); });
}

void TestForm9::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
    m_machine.reset();
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

void TestForm9::clickPath(Form9 &browser, const QStringList &texts)
{
    QTreeWidget *view = browser.DirTree1->treeView();
    QTreeWidgetItem *node = nullptr;
    for (int i = 0; !node && i < view->topLevelItemCount(); ++i) {
        if (view->topLevelItem(i)->text(0) == texts.first())
            node = view->topLevelItem(i);
    }
    for (const QString &text : texts.mid(1)) {
        clickNode(*browser.DirTree1, node);
        node = childNamed(node, text);
    }
    QVERIFY(node);
    clickNode(*browser.DirTree1, node);
}

void TestForm9::layoutForOuterSize_data()
{
    QTest::addColumn<QSizeF>("outer");
    QTest::addColumn<QRectF>("picture1");
    QTest::addColumn<QRectF>("dirTree1");
    QTest::addColumn<QPointF>("ok");
    QTest::addColumn<QPointF>("cancel");

    QTest::newRow("as laid out") << QSizeF(3675, 4775) << QRectF(0, -10, 3600, 4080)
                                 << QRectF(0, -20, 3600, 4080) << QPointF(2000, 4060)
                                 << QPointF(175, 4060);
    QTest::newRow("wider and taller")
            << QSizeF(5675, 5775) << QRectF(0, -10, 5600, 5080) << QRectF(0, -20, 5600, 5080)
            << QPointF(2000, 5060) << QPointF(175, 5060);
    QTest::newRow("at the bounds") << QSizeF(75, 715) << QRectF(0, -10, 0, 20)
                                   << QRectF(0, -20, 0, 20) << QPointF(2000, 0) << QPointF(175, 0);
    QTest::newRow("below the bounds")
            << QSizeF(40, 600) << QRectF(0, -10, 0, 0) << QRectF(0, -20, 0, 0) << QPointF(2000, 0)
            << QPointF(175, 0);
}

void TestForm9::layoutForOuterSize()
{
    QFETCH(QSizeF, outer);
    QFETCH(QRectF, picture1);
    QFETCH(QRectF, dirTree1);
    QFETCH(QPointF, ok);
    QFETCH(QPointF, cancel);
    const Form9Layout layout = form9Layout(outer);
    QCOMPARE(layout.picture1, picture1);
    QCOMPARE(layout.dirTree1, dirTree1);
    QCOMPARE(layout.ok, QRectF(ok, QSizeF(1455, 375)));
    QCOMPARE(layout.cancel, QRectF(cancel, QSizeF(1455, 375)));
}

void TestForm9::firstUsePlacesWindowBesideMainWindow_data()
{
    QTest::addColumn<QPoint>("form1");
    QTest::newRow("middle of the screen") << QPoint(900, 700);
    QTest::newRow("near the top left corner: partly off-screen") << QPoint(10, 20);
}

void TestForm9::firstUsePlacesWindowBesideMainWindow()
{
    QFETCH(QPoint, form1);
    m_form->move(form1);
    Form9 &browser = m_form->folderBrowser();
    QVERIFY(browser.DirTree1->nodeByKey(QStringLiteral("root67")));
    QCOMPARE(browser.windowTitle(), QString());
    const QSize outer = browser.frameGeometry().size();
    QVERIFY(qAbs(browser.pos().x() - (form1.x() - outer.width() / 2.0)) <= 1);
    QVERIFY(qAbs(browser.pos().y() - (form1.y() - outer.height() / 8.0)) <= 1);
}

void TestForm9::buttons_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("button"); // "OK", "Cancel" or "title bar"
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("stillLoaded");

    const QStringList windows{"Clipferry (C:)", "Windows"};
    QTest::newRow("OK after clicks") << windows << "OK"
                                     << "C:\\Windows\\" << true;
    QTest::newRow("OK at once") << QStringList() << "OK"
                                << "" << true;
    QTest::newRow("Cancel") << windows << "Cancel"
                            << "C:\\Program Files\\Clipferry" << true;
    QTest::newRow("title bar") << windows << "title bar"
                               << "E:\\before\\" << false;
}

void TestForm9::buttons()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, button);
    QFETCH(QString, selected);
    QFETCH(bool, stillLoaded);
    m_values.SelectedFolder = QStringLiteral("E:\\before\\");
    useBrowser([&](Form9 &browser) {
        if (!clicks.isEmpty())
            clickPath(browser, clicks);
        if (button == QLatin1String("title bar"))
            browser.windowHandle()->close();
        else
            QTest::mouseClick(browser.cmd[button == QLatin1String("OK") ? 0 : 1], Qt::LeftButton);
    });
    QCOMPARE(m_values.SelectedFolder, selected);
    QTest::qWait(0); // a closed window is deleted once back in the main loop
    QCOMPARE(m_form->folderBrowserLoaded(), stillLoaded);
    if (stillLoaded)
        QVERIFY(!m_form->folderBrowser().isVisible());
}

// OK only hides the window: the next use shows the same tree, selection and place, and OK
// at once gives the same folder again.
void TestForm9::secondUseShowsTheSameTree()
{
    const QPoint movedTo(321, 234);
    useBrowser([&](Form9 &browser) {
        clickPath(browser, {"Clipferry (C:)", "Program Files", "Clipferry"});
        browser.move(movedTo);
        QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
    });
    QPointer<Form9> first = &m_form->folderBrowser();
    QTreeWidgetItem *selected = first->DirTree1->treeView()->currentItem();
    m_values.SelectedFolder.clear();
    useBrowser([&](Form9 &browser) {
        QCOMPARE(&browser, first.data());
        QCOMPARE(browser.pos(), movedTo);
        QCOMPARE(browser.DirTree1->treeView()->currentItem(), selected);
        QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
    });
    QCOMPARE(m_values.SelectedFolder, QStringLiteral("C:\\Program Files\\Clipferry\\"));
}

// Closing through the title bar unloads the window: the next use builds a new tree and
// places the window afresh, with no folder handled yet.
void TestForm9::titleBarCloseUnloads()
{
    m_form->move(600, 500);
    QPointer<Form9> first = &m_form->folderBrowser();
    const QPoint placed = first->pos();
    useBrowser([&](Form9 &browser) {
        clickPath(browser, {"Clipferry (C:)", "Windows"});
        browser.move(placed + QPoint(50, 50));
        browser.windowHandle()->close();
    });
    Form9 &second = m_form->folderBrowser();
    QVERIFY(&second != first.data() || first.isNull());
    QCOMPARE(second.pos(), placed);
    QCOMPARE(second.DirTree1->path(), QString());
    QCOMPARE(second.DirTree1->nodeByKey(QStringLiteral("root67"))->childCount(), 2);
    QTRY_VERIFY(first.isNull());
}

void TestForm9::outputListTakesInputFolder_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("outputAfter");

    QTest::newRow("no output folder, OK") << "C:\\Windows"
                                          << "" << 0 << "C:\\Windows";
    QTest::newRow("no output folder, Cancel") << "C:\\Windows"
                                              << "" << 1 << "C:\\Windows";
    QTest::newRow("output folder kept") << "C:\\Windows"
                                        << "C:\\Program Files" << 0 << "C:\\Program Files";
    QTest::newRow("neither has a folder") << ""
                                          << "" << 1 << "";
}

void TestForm9::outputListTakesInputFolder()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(int, button);
    QFETCH(QString, outputAfter);
    if (!input.isEmpty())
        m_form->File1->setPath(input);
    if (!output.isEmpty())
        m_form->File2->setPath(output);
    useBrowser([&](Form9 &browser) {
        clickPath(browser, {"Clipferry (C:)", "Program Files"});
        QTest::mouseClick(browser.cmd[button], Qt::LeftButton);
        QVERIFY(!browser.isVisible());
    });
    QCOMPARE(m_form->File2->Path(), outputAfter);
    QCOMPARE(m_values.SelectedFolder,
             button == 0 ? QStringLiteral("C:\\Program Files\\")
                         : QStringLiteral("C:\\Program Files\\Clipferry"));
}

void TestForm9::enterAndEscapeMeanNothing()
{
    m_values.SelectedFolder = QStringLiteral("C:\\Windows");
    useBrowser([&](Form9 &browser) {
        QCOMPARE(QApplication::focusWidget(), browser.cmd[0]);
        QTest::keyClick(&browser, Qt::Key_Escape);
        QTest::keyClick(browser.cmd[0], Qt::Key_Return);
        QTest::keyClick(browser.cmd[0], Qt::Key_Enter);
        QVERIFY(browser.isVisible());
        QCOMPARE(m_values.SelectedFolder, QStringLiteral("C:\\Windows"));
        QTest::mouseClick(browser.cmd[1], Qt::LeftButton);
    });
    QCOMPARE(m_values.SelectedFolder, QStringLiteral("C:\\Program Files\\Clipferry"));
}

void TestForm9::resizeKeepsTreeAboveButtons_data()
{
    QTest::addColumn<QSize>("growth");
    QTest::newRow("wider") << QSize(150, 0);
    QTest::newRow("taller") << QSize(0, 120);
    QTest::newRow("both") << QSize(75, 95);
    QTest::newRow("smaller") << QSize(-60, -80);
}

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
