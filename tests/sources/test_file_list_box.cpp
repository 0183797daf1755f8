#include "sources/file_list_box.h"

#include "common/error.h"
#include "temp_machine.h"

#include <QSignalSpy>
#include <QtTest>

class TestFileListBox : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void listsFilesOnly();
    void pathIsKeptWithoutTrailingSeparator_data();
    void pathIsKeptWithoutTrailingSeparator();
    void failedListingKeepsFolder_data();
    void failedListingKeepsFolder();
    void refreshListsAgain();
    void clickIsReportedForEntries();

private:
    std::unique_ptr<TempMachine> m_machine;
    std::unique_ptr<FileListBox> m_list;
};

void TestFileListBox::init()
{
    m_machine = std::make_unique<TempMachine>();
    for (const char *name : {"b.mpg", "A.DAT", "c.MPEG", ".hidden.mpg", "notes"})
        m_machine->writeFile(QStringLiteral("C:\\Videos\\") + QLatin1String(name));
    m_machine->makeFolder(QStringLiteral("C:\\Videos\\Sub"));
    m_list = std::make_unique<FileListBox>();
}

void TestFileListBox::cleanup()
{
    m_list.reset();
    m_machine.reset();
}

void TestFileListBox::listsFilesOnly()
{
    QCOMPARE(m_list->Path(), QString());
    m_list->setPath(QStringLiteral("C:\\Videos"));

    QStringList names;
    for (int index = 0; index < m_list->ListCount(); ++index)
        names.append(m_list->List(index));
    // Every file whatever its name, in name order; no folders, no hidden files.
    QCOMPARE(names, (QStringList{"A.DAT", "b.mpg", "c.MPEG", "notes"}));
    QCOMPARE(m_list->List(4), QString());
    QCOMPARE(m_list->List(-1), QString());
}

void TestFileListBox::pathIsKeptWithoutTrailingSeparator_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder with separator") << "C:\\Videos\\"
                                           << "C:\\Videos";
    QTest::newRow("folder") << "C:\\Videos"
                            << "C:\\Videos";
    QTest::newRow("root") << "C:\\"
                          << "C:\\";
    QTest::newRow("drive only") << "C:"
                                << "C:\\";
}

void TestFileListBox::pathIsKeptWithoutTrailingSeparator()
{
    QFETCH(QString, folder);
    m_list->setPath(folder);
    QTEST(m_list->Path(), "path");
}

void TestFileListBox::failedListingKeepsFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty name") << QString() << "No folder has been chosen";
    QTest::newRow("missing folder") << "C:\\Missing"
                                    << "C:\\Missing";
    QTest::newRow("a file") << "C:\\Videos\\notes"
                            << "C:\\Videos\\notes";
    QTest::newRow("no drive") << "Q:\\"
                              << "Q:";
    QTest::newRow("no full path") << "Videos"
                                  << "Videos";
}

void TestFileListBox::failedListingKeepsFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    m_list->setPath(QStringLiteral("C:\\Videos"));

    try {
        m_list->setPath(folder);
        QFAIL("listing should have failed");
    } catch (const Error &e) {
        QVERIFY2(e.description().contains(reason), qPrintable(e.description()));
    }
    QCOMPARE(m_list->Path(), QStringLiteral("C:\\Videos"));
    QCOMPARE(m_list->ListCount(), 4);
}

void TestFileListBox::refreshListsAgain()
{
    m_list->setPath(QStringLiteral("C:\\Videos"));
    m_list->setSelected(0, true);
    m_machine->writeFile(QStringLiteral("C:\\Videos\\d.mpg"));

    m_list->Refresh();
    QCOMPARE(m_list->ListCount(), 5);
    QVERIFY(!m_list->Selected(0));

    QDir(m_machine->native(QStringLiteral("C:\\Videos"))).removeRecursively();
    QVERIFY_THROWS_EXCEPTION(Error, m_list->Refresh());
    QCOMPARE(m_list->ListCount(), 5);
}

void TestFileListBox::clickIsReportedForEntries()
{
    m_list->setPath(QStringLiteral("C:\\Videos"));
    m_list->resize(200, 300);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    QSignalSpy clicks(m_list.get(), &FileListBox::Click);

    QTest::mouseClick(m_list->viewport(),
                      Qt::LeftButton,
                      {},
                      m_list->visualItemRect(m_list->item(1)).center());
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(m_list->ListIndex(), 1);

    // Below the last entry: nothing was clicked.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, QPoint(10, 290));
    QCOMPARE(clicks.size(), 1);

    QTest::keyClick(m_list.get(), Qt::Key_Down);
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(m_list->ListIndex(), 2);
}

QTEST_MAIN(TestFileListBox)
#include "test_file_list_box.moc"
