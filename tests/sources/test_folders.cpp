#include "sources_window.h"

#include "app/text_box.h"
#include "browser/form9.h"
#include "sources/file_list_box.h"

#include <QtTest>

namespace {

const QString programFolder = QStringLiteral("C:\\Program Files\\Clipferry");
const QString inputTitle = QStringLiteral("Select MPG-input directory");
const QString outputTitle = QStringLiteral("Select WMV-output directory");

enum class Command { Input, Output };

std::function<void()> commandOf(Form1 &form, Command command)
{
    if (command == Command::Input)
        return [&form] {
            form.cmdInput_Click();
        };
    return [&form] {
        form.cmdOutput_Click();
    };
}

// Hands the command a folder of the test's choice: the browser closed through its title
// bar leaves SelectedFolder as it was.
QString chooseThroughClose(SourcesWindow &window, Command command, const QString &folder)
{
    window.values.SelectedFolder = folder;
    return runWithBrowser(*window.form, commandOf(*window.form, command), closeThroughTitleBar);
}

} // namespace

Q_DECLARE_METATYPE(Command)

class TestFolders : public QObject
{
    Q_OBJECT
private slots:
    void cancelGivesProgramFolder_data();
    void cancelGivesProgramFolder();
    void driveOfFolder_data();
    void driveOfFolder();
    void failureShowsDescription_data();
    void failureShowsDescription();
    void outputFolderIsKeptOnceChosen();
};

void TestFolders::cancelGivesProgramFolder_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("summary");

    // An output list without a folder takes the input folder.
    QTest::newRow("input") << Command::Input << inputTitle << programFolder
                           << "input: " + programFolder + "\r\noutput: " + programFolder;
    QTest::newRow("output") << Command::Output << outputTitle << QString()
                            << "input: \r\noutput: " + programFolder;
}

void TestFolders::cancelGivesProgramFolder()
{
    QFETCH(Command, command);
    QFETCH(QString, title);
    SourcesWindow window;

    const QString shownTitle
            = runWithBrowser(*window.form, commandOf(*window.form, command), pressCancel);

    QCOMPARE(shownTitle, title);
    QTEST(window.form->File1->Path(), "input");
    QCOMPARE(window.form->File2->Path(), programFolder);
    QTEST(window.form->Text4->text(), "summary");
    QCOMPARE(window.dialogs.texts(), QStringList());
}

void TestFolders::driveOfFolder_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("summary");

    const QString warning
            = QStringLiteral("Copy file to hard-disk first when using slow CD-ROM drive!");
    const QString refusal
            = QStringLiteral("Change output folder!\r\nCurrent output folder is read only.");

    // A CD-ROM input is slow but usable; a CD-ROM output is refused, yet the output list
    // already points there and the summary is not rewritten.
    QTest::newRow("input on CD-ROM")
            << Command::Input << "D:\\MPEGAV\\"
            << "D:\\MPEGAV" << QStringList{warning} << "input: D:\\MPEGAV\r\noutput: D:\\MPEGAV";
    QTest::newRow("output on CD-ROM") << Command::Output << "D:\\MPEGAV\\"
                                      << "D:\\MPEGAV" << QStringList{refusal} << "before";
    QTest::newRow("input on card") << Command::Input << "E:\\"
                                   << "E:\\" << QStringList() << "input: E:\\\r\noutput: E:\\";
    QTest::newRow("output on card") << Command::Output << "E:\\"
                                    << "E:\\" << QStringList() << "input: \r\noutput: E:\\";
}

void TestFolders::driveOfFolder()
{
    QFETCH(Command, command);
    QFETCH(QString, folder);
    QFETCH(QString, path);
    SourcesWindow window;
    window.machine.addDrive(QLatin1Char('D'), DriveKind::CdRom, QStringLiteral("VCD"));
    window.machine.makeFolder(QStringLiteral("D:\\MPEGAV"));
    window.machine.writeFile(QStringLiteral("D:\\MPEGAV\\AVSEQ01.DAT"));
    window.machine.addDrive(QLatin1Char('E'), DriveKind::Removable, QStringLiteral("CARD"));
    window.form->Text4->setText(QStringLiteral("before"));

    chooseThroughClose(window, command, folder);

    QTEST(window.dialogs.texts(), "boxes");
    QTEST(window.form->Text4->text(), "summary");
    FileListBox *list = command == Command::Input ? window.form->File1 : window.form->File2;
    QCOMPARE(list->Path(), path);
    QVERIFY(window.form->CurrentDrive.has_value());
    QCOMPARE(window.form->CurrentDrive->DriveLetter(), path.at(0));
}

void TestFolders::failureShowsDescription_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");

    // An empty folder is what the browser leaves when its first use is closed.
    for (Command command : {Command::Input, Command::Output}) {
        const char *name = command == Command::Input ? "input" : "output";
        QTest::addRow("%s, no folder", name) << command << QString() << "No folder has been chosen";
        QTest::addRow("%s, missing folder", name) << command << "C:\\Missing\\"
                                                  << "Cannot list the folder C:\\Missing\\";
    }
}

void TestFolders::failureShowsDescription()
{
    QFETCH(Command, command);
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    SourcesWindow window;
    runWithBrowser(*window.form, commandOf(*window.form, Command::Input), pressCancel);
    const QString summary = window.form->Text4->text();

    chooseThroughClose(window, command, folder);

    QCOMPARE(window.dialogs.texts().size(), 1);
    QVERIFY2(window.dialogs.texts().at(0).contains(reason),
             qPrintable(window.dialogs.texts().at(0)));
    QCOMPARE(window.form->File1->Path(), programFolder);
    QCOMPARE(window.form->File2->Path(), programFolder);
    QCOMPARE(window.form->Text4->text(), summary);
    QVERIFY(window.form->isEnabled());
}

void TestFolders::outputFolderIsKeptOnceChosen()
{
    SourcesWindow window;
    window.machine.makeFolder(QStringLiteral("C:\\Videos"));
    window.machine.makeFolder(QStringLiteral("C:\\Out"));
    chooseThroughClose(window, Command::Output, QStringLiteral("C:\\Out\\"));
    chooseThroughClose(window, Command::Input, QStringLiteral("C:\\Videos\\"));

    QCOMPARE(window.form->Text4->text(), QStringLiteral("input: C:\\Videos\r\noutput: C:\\Out"));
}

QTEST_MAIN(TestFolders)
#include "test_folders.moc"
