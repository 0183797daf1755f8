#include "browser/form9.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"
#include "window_fixture.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

namespace {

const QString programFolder = QStringLiteral("C:\\Program Files\\Clipferry");

// Runs a folder button; Cancel, or close (SelectedFolder stays); returns the browser's title.
QString runWithBrowser(WindowFixture &w, bool input, bool cancel)
{
    QString title;
    QTimer poll; // the browser may still be loading
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *browser = qobject_cast<Form9 *>(QApplication::activeModalWidget())) {
            poll.stop();
            title = browser->windowTitle();
            cancel ? browser->cmd_Click(1) : void(browser->close());
        }
    });
    poll.start(10);
    input ? w.form->cmdInput_Click() : w.form->cmdOutput_Click();
    // A browser closed through its title bar is deleted later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return title;
}

} // namespace

// The file lists, the folder buttons and the echo of the selection in Text3 and Text4.
class TestFileLists : public QObject
{
    Q_OBJECT
    std::unique_ptr<WindowFixture> m_w;

private slots:
    void cleanup() { m_w.reset(); }
    void init()
    {
        m_w = std::make_unique<WindowFixture>();
        m_w->openInstalled();
        for (const char *name : {"b.mpg", "A.DAT", "c.MPEG", "d.mpg", ".hidden.mpg", "notes"})
            m_w->machine.writeFile(QStringLiteral("C:\\Videos\\") + QLatin1String(name));
        for (const char *folder : {"C:\\Videos\\Sub", "C:\\Out", "C:\\Empty", "C:\\Old"})
            m_w->machine.makeFolder(QLatin1String(folder));
        QFile named(m_w->machine.native("C:\\Old") + "/a\\b.mpg");
        QVERIFY(named.open(QIODevice::WriteOnly));
    }

    void folderButtons_data()
    {
        // button|browser's folder|start of the one box|the list's folder|Text4 afterwards, and
        // File1's folder before where it has one
        QTest::addColumn<QStringList>("cells");
        const auto row = [](const char *name, const QString &cells) {
            QTest::newRow(name) << cells.split('|');
        };
        const QString p = programFolder;
        // Cancel gives the program folder; an output list without a folder takes the input's.
        row("input, Cancel", "in|cancel||" + p + "|input: " + p + "\r\noutput: " + p);
        row("output, Cancel", "out|cancel||" + p + "|input: \r\noutput: " + p);
        // After OK or Cancel the output list follows the input list as it stood before the new
        // choice; after a close, the new one.
        row("input, Cancel, output follows the old input",
            "in|cancel||" + p + "|input: " + p + "\r\noutput: C:\\Videos|C:\\Videos");
        row("input, close, output follows the new input",
            "in|C:\\Out\\||C:\\Out|input: C:\\Out\r\noutput: C:\\Out|C:\\Videos");
        // A CD-ROM input is used with a warning; a CD-ROM output is refused after the list moved.
        row("input on CD-ROM",
            "in|D:\\MPEGAV\\|Copy file to hard-disk first when using slow CD-ROM drive!"
            "|D:\\MPEGAV|input: D:\\MPEGAV\r\noutput: D:\\MPEGAV");
        row("output on CD-ROM",
            "out|D:\\MPEGAV\\|Change output folder!\r\nCurrent output folder is read only."
            "|D:\\MPEGAV|before");
        row("input on card", "in|E:\\||E:\\|input: E:\\\r\noutput: E:\\");
        // Select Files cannot list a name that no Windows path can hold.
        row("input with a name holding \"\\\"",
            "in|C:\\Old\\|These files were not opened:\r\n\"a\\b.mpg\" in C:\\Old: a name holding "
            "\"\\\" cannot be opened; rename the file to convert it|C:\\Old|input: C:\\Old\r\n"
            "output: C:\\Old");
        // An empty folder is what the browser leaves when its first use is closed.
        row("input, no folder", "in||No folder has been chosen||before");
        row("output, missing folder",
            "out|C:\\Missing\\|Cannot list the folder C:\\Missing\\||before");
    }

    // A failure shows its description and changes no more.
    void folderButtons()
    {
        QFETCH(QStringList, cells);
        const bool input = cells[0] == QLatin1String("in");
        m_w->machine.addDrive(QLatin1Char('D'), DriveKind::CdRom, QStringLiteral("VCD"));
        m_w->machine.writeFile(QStringLiteral("D:\\MPEGAV\\AVSEQ01.DAT"));
        m_w->machine.addDrive(QLatin1Char('E'), DriveKind::Removable, QStringLiteral("CARD"));
        m_w->form->Text4->setText(QStringLiteral("before"));
        m_w->values.SelectedFolder = cells[1];
        if (cells.size() > 5)
            m_w->form->File1->setPath(cells[5]);

        const QString title = runWithBrowser(*m_w, input, cells[1] == QLatin1String("cancel"));

        QCOMPARE(title, input ? "Select MPG-input directory" : "Select WMV-output directory");
        const QString boxes = m_w->dialogs.texts().join('|');
        QCOMPARE(m_w->dialogs.texts().size(), cells[2].isEmpty() ? 0 : 1);
        QCOMPARE(boxes.left(cells[2].size()), cells[2]);
        QCOMPARE((input ? m_w->form->File1 : m_w->form->File2)->Path(), cells[3]);
        QCOMPARE(m_w->form->Text4->text(), cells[4]);
    }

    void clicksKeepPickedNames_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("picked"); // the lines of Text3
        QTest::addColumn<QStringList>("selected");
        const auto row =
                [](const char *name, const char *clicks, const char *picked, const char *selected) {
                    QTest::newRow(name) << QString(clicks).split(' ') << QString(picked).split(' ')
                                        << QString(selected).split(' ', Qt::SkipEmptyParts);
                };
        // The name of an entry taken out of the selection is appended all the same.
        row("Ctrl clears one of three",
            "A.DAT ^b.mpg ^c.MPEG ^b.mpg",
            "A.DAT b.mpg c.MPEG b.mpg",
            "A.DAT c.MPEG");
        // One entry left: the text starts afresh with the entry just cleared.
        row("Ctrl clears one of two", "A.DAT ^b.mpg ^A.DAT", "A.DAT", "b.mpg");
        row("Ctrl clears the last", "A.DAT ^A.DAT", "A.DAT", "");
        row("Shift selects a range", "A.DAT +d.mpg", "A.DAT d.mpg", "A.DAT b.mpg c.MPEG d.mpg");
        // A plain click on one of several selected entries narrows the selection to it.
        row("plain click in a selection", "A.DAT ^b.mpg ^c.MPEG b.mpg", "b.mpg", "b.mpg");
        row("keyboard move", "A.DAT v", "b.mpg", "b.mpg");
    }

    // Each click names both folders in Text4 and appends the clicked name to Text3.
    void clicksKeepPickedNames()
    {
        QFETCH(QStringList, clicks);
        Form1 &form = *m_w->form;
        form.File1->setPath(QStringLiteral("C:\\Videos"));
        form.File2->setPath(QStringLiteral("C:\\Out"));
        form.show();
        form.File1->setGeometry(0, 0, 300, 300);
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        m_w->clickEntries(clicks);

        QTEST(form.Text3->text().split("\r\n"), "picked");
        QTEST(listed(*form.File1, true), "selected");
        QCOMPARE(form.Text4->text(), "input directory: C:\\Videos\r\noutput directory: C:\\Out");
    }

    // A new input folder keeps picked names and output; a click on an empty list only Text4.
    void newOrEmptyFolderKeepsPickedNames()
    {
        Form1 &form = *m_w->form;
        form.File2->setPath(QStringLiteral("C:\\Out"));
        form.Text3->setText(QStringLiteral("a.mpg\r\nb.mpg"));
        m_w->values.SelectedFolder = QStringLiteral("C:\\Empty\\");
        runWithBrowser(*m_w, true, false);
        QCOMPARE(form.Text4->text(), QStringLiteral("input: C:\\Empty\r\noutput: C:\\Out"));

        form.File1_Click();
        QCOMPARE(form.Text3->text(), QStringLiteral("a.mpg\r\nb.mpg"));
        QCOMPARE(form.Text4->text(), "input directory: C:\\Empty\r\noutput directory: C:\\Out");
    }
};

QTEST_MAIN(TestFileLists)
#include "test_file_lists.moc"
