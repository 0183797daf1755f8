#include "sources_window.h"

#include "app/text_box.h"
#include "sources/file_list_box.h"

#include <QtTest>

namespace {

// Clicks entries as a user does. A step is an entry's name, prefixed with "^" for a
// Ctrl-click or "+" for a Shift-click.
void clickEntries(FileListBox &list, const QStringList &steps)
{
    for (const QString &step : steps) {
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
        QString name = step;
        if (step.startsWith('^'))
            modifiers = Qt::ControlModifier;
        else if (step.startsWith('+'))
            modifiers = Qt::ShiftModifier;
        if (modifiers != Qt::NoModifier)
            name = step.mid(1);
        const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(name));
        list.scrollToItem(found.first());
        QTest::mouseClick(list.viewport(),
                          Qt::LeftButton,
                          modifiers,
                          list.visualItemRect(found.first()).center());
    }
}

QStringList selectedNames(const FileListBox &list)
{
    QStringList names;
    for (int index = 0; index < list.ListCount(); ++index) {
        if (list.Selected(index))
            names.append(list.List(index));
    }
    return names;
}

} // namespace

class TestFileSelection : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clicksKeepPickedNames_data();
    void clicksKeepPickedNames();
    void emptyListLeavesPickedNames();
    void newInputFolderKeepsPickedNames();

private:
    std::unique_ptr<SourcesWindow> m_window;
};

void TestFileSelection::init()
{
    m_window = std::make_unique<SourcesWindow>();
    for (const char *name : {"a.mpg", "b.mpg", "c.mpg", "d.mpg"})
        m_window->machine.writeFile(QStringLiteral("C:\\Videos\\") + QLatin1String(name));
    m_window->machine.makeFolder(QStringLiteral("C:\\Out"));
    m_window->machine.makeFolder(QStringLiteral("C:\\Empty"));
    Form1 &form = *m_window->form;
    form.File1->setPath(QStringLiteral("C:\\Videos"));
    form.File2->setPath(QStringLiteral("C:\\Out"));
    form.show();
    form.File1->setGeometry(0, 0, 300, 300);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

void TestFileSelection::cleanup()
{
    m_window.reset();
}

void TestFileSelection::clicksKeepPickedNames_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QStringList>("selected");

    QTest::newRow("plain click") << QStringList{"b.mpg"} << QStringList{"b.mpg"}
                                 << QStringList{"b.mpg"};
    QTest::newRow("Ctrl adds two")
            << QStringList{"a.mpg", "^c.mpg", "^d.mpg"} << QStringList{"a.mpg", "c.mpg", "d.mpg"}
            << QStringList{"a.mpg", "c.mpg", "d.mpg"};
    // The name of an entry taken out of the selection is appended all the same.
    QTest::newRow("Ctrl clears one of three")
            << QStringList{"a.mpg", "^b.mpg", "^c.mpg", "^b.mpg"}
            << QStringList{"a.mpg", "b.mpg", "c.mpg", "b.mpg"} << QStringList{"a.mpg", "c.mpg"};
    // One entry left selected: the text starts afresh with the entry just cleared.
    QTest::newRow("Ctrl clears one of two") << QStringList{"a.mpg", "^b.mpg", "^a.mpg"}
                                            << QStringList{"a.mpg"} << QStringList{"b.mpg"};
    QTest::newRow("Ctrl clears the last")
            << QStringList{"a.mpg", "^a.mpg"} << QStringList{"a.mpg"} << QStringList();
    QTest::newRow("Shift selects a range")
            << QStringList{"a.mpg", "+d.mpg"} << QStringList{"a.mpg", "d.mpg"}
            << QStringList{"a.mpg", "b.mpg", "c.mpg", "d.mpg"};
    // A plain click on one of several selected entries narrows the selection to it.
    QTest::newRow("plain click in a selection") << QStringList{"a.mpg", "^b.mpg", "^c.mpg", "b.mpg"}
                                                << QStringList{"b.mpg"} << QStringList{"b.mpg"};
}

void TestFileSelection::clicksKeepPickedNames()
{
    QFETCH(QStringList, clicks);
    Form1 &form = *m_window->form;

    clickEntries(*form.File1, clicks);

    QTEST(form.Text3->text().split("\r\n"), "picked");
    QTEST(selectedNames(*form.File1), "selected");
    QCOMPARE(form.Text4->text(),
             QStringLiteral("input directory: C:\\Videos\r\noutput directory: C:\\Out"));
}

void TestFileSelection::emptyListLeavesPickedNames()
{
    Form1 &form = *m_window->form;
    clickEntries(*form.File1, {"a.mpg"});
    form.File1->setPath(QStringLiteral("C:\\Empty"));

    form.File1_Click();

    QCOMPARE(form.Text3->text(), QStringLiteral("a.mpg"));
    QCOMPARE(form.Text4->text(),
             QStringLiteral("input directory: C:\\Empty\r\noutput directory: C:\\Out"));
}

void TestFileSelection::newInputFolderKeepsPickedNames()
{
    Form1 &form = *m_window->form;
    clickEntries(*form.File1, {"a.mpg", "^b.mpg"});
    m_window->values.SelectedFolder = QStringLiteral("C:\\Empty\\");

    runWithBrowser(
            form, [&] { form.cmdInput_Click(); }, closeThroughTitleBar);

    QCOMPARE(form.File1->ListCount(), 0);
    QCOMPARE(form.Text3->text(), QStringLiteral("a.mpg\r\nb.mpg"));
}

QTEST_MAIN(TestFileSelection)
#include "test_file_selection.moc"
