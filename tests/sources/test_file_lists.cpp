#include "sources_window.h"

#include "app/text_box.h"
#include "browser/form9.h"
#include "sources/file_list_box.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString programFolder = QStringLiteral("C:\\Program Files\\Clipferry");

// Runs a folder button's command and answers the folder browser once it is up: with Cancel,
// or by closing it through its title bar, which leaves SelectedFolder as the test set it.
// Returns the browser's title as the command set it.
QString runWithBrowser(SourcesWindow &w, bool input, bool cancel)
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
    // A browser closed through its title bar is deleted later; let that happen now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return title;
}

// Clicks entries as a user does; "^" before a name Ctrl-clicks it, "+" Shift-clicks it, and
// "v" presses the Down key.
void clickEntries(FileListBox &list, const QStringList &steps)
{
    for (const QString &step : steps) {
        if (step == QLatin1String("v")) {
            QTest::keyClick(&list, Qt::Key_Down);
            continue;
        }
        const auto modifiers = step.startsWith('^')   ? Qt::ControlModifier
                               : step.startsWith('+') ? Qt::ShiftModifier
                                                      : Qt::NoModifier;
        const QString name = modifiers == Qt::NoModifier ? step : step.mid(1);
        const QListWidgetItem *entry = list.findItems(name, Qt::MatchExactly).value(0);
        QVERIFY2(entry, qPrintable(name));
        const QPoint centre = list.visualItemRect(entry).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, centre);
    }
}

// Leaves a socket's entry at the path, as a program that listens there does.
bool bindSocket(const QString &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, native.constData(), native.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound
            = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

QStringList entries(const FileListBox &list, bool selectedOnly)
{
    QStringList names;
    for (int index = 0; index < list.ListCount(); ++index) {
        if (!selectedOnly || list.Selected(index))
            names.append(list.List(index));
    }
    return names;
}

} // namespace

// The input and output file lists: the list itself, the folder buttons that point them at a
// folder, and the echo of the selection in Text3 and Text4.
class TestFileLists : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_w.reset(); }
    void listsTheFilesOfAFolder();
    void folderButtons_data();
    void folderButtons();
    void clicksKeepPickedNames_data();
    void clicksKeepPickedNames();
    void newOrEmptyFolderKeepsPickedNames();

private:
    std::unique_ptr<SourcesWindow> m_w;
};

void TestFileLists::init()
{
    m_w = std::make_unique<SourcesWindow>();
    for (const char *name : {"b.mpg", "A.DAT", "c.MPEG", "d.mpg", ".hidden.mpg", "notes"})
        m_w->machine.writeFile(QStringLiteral("C:\\Videos\\") + QLatin1String(name));
    for (const char *folder : {"C:\\Videos\\Sub", "C:\\Out", "C:\\Empty"})
        m_w->machine.makeFolder(QLatin1String(folder));
}

// Every file whatever its name, in name order; no folders, no hidden files, and none of the
// entries that are no files to convert (a pipe would be read forever, a socket or a device
// cannot be read at all); a link to a file is listed, one to a folder or to nothing is not.
// The folder is
// kept without a trailing separator except at a drive's root. A refresh lists the folder
// anew and clears the selection. A folder that cannot be listed fails with a description,
// and the list keeps what it had.
void TestFileLists::listsTheFilesOfAFolder()
{
    FileListBox &list = *m_w->form->File1;
    const QString videos = m_w->machine.native(QStringLiteral("C:\\Videos"));
    QVERIFY(::mkfifo(QFile::encodeName(videos + "/pipe.mpg").constData(), 0600) == 0);
    QVERIFY(bindSocket(videos + "/socket.mpg"));
    QFile::link("/dev/null", videos + "/device.mpg");
    QFile::link("b.mpg", videos + "/link.mpg");
    QFile::link("Sub", videos + "/folder.mpg");
    QFile::link("missing.mpg", videos + "/dangling.mpg");
    QCOMPARE(list.Path(), QString());
    list.setPath(QStringLiteral("C:\\Videos\\"));
    QCOMPARE(list.Path(), QStringLiteral("C:\\Videos"));
    QCOMPARE(entries(list, false),
             (QStringList{"A.DAT", "b.mpg", "c.MPEG", "d.mpg", "link.mpg", "notes"}));
    QCOMPARE(list.List(6) + list.List(-1), QString());

    list.setSelected(0, true);
    m_w->machine.writeFile(QStringLiteral("C:\\Videos\\e.mpg"));
    list.Refresh();
    QCOMPARE(list.ListCount(), 7);
    QVERIFY(!list.Selected(0));
    QVERIFY_THROWS_EXCEPTION(Error, list.setPath(QStringLiteral("C:\\Videos\\notes")));
    QDir(m_w->machine.native(QStringLiteral("C:\\Videos"))).removeRecursively();
    QVERIFY_THROWS_EXCEPTION(Error, list.Refresh());
    QCOMPARE(list.Path() + QString::number(list.ListCount()), QStringLiteral("C:\\Videos7"));
    list.setPath(QStringLiteral("C:"));
    QCOMPARE(list.Path(), QStringLiteral("C:\\"));
}

void TestFileLists::folderButtons_data()
{
    // The button (in or out); the folder the browser hands back ("cancel" presses Cancel); the
    // start of the one box shown (none when empty); the button's list's folder afterwards;
    // Text4 ("before": not rewritten).
    QTest::addColumn<QStringList>("cells");
    const auto row = [](const char *name, const QString &cells) {
        QTest::newRow(name) << cells.split('|');
    };
    const QString p = programFolder;
    // Cancel gives the program folder; an output list without a folder takes the input's.
    row("input, Cancel", "in|cancel||" + p + "|input: " + p + "\r\noutput: " + p);
    row("output, Cancel", "out|cancel||" + p + "|input: \r\noutput: " + p);
    // A CD-ROM input is slow but used; a CD-ROM output is refused, yet the output list
    // already points there.
    row("input on CD-ROM",
        "in|D:\\MPEGAV\\|Copy file to hard-disk first when using slow CD-ROM drive!"
        "|D:\\MPEGAV|input: D:\\MPEGAV\r\noutput: D:\\MPEGAV");
    row("output on CD-ROM",
        "out|D:\\MPEGAV\\|Change output folder!\r\nCurrent output folder is read only."
        "|D:\\MPEGAV|before");
    row("input on card", "in|E:\\||E:\\|input: E:\\\r\noutput: E:\\");
    // An empty folder is what the browser leaves when its first use is closed.
    row("input, no folder", "in||No folder has been chosen||before");
    row("output, missing folder", "out|C:\\Missing\\|Cannot list the folder C:\\Missing\\||before");
}

// Both buttons show the browser with their title, point their list at the chosen folder,
// test its drive and write the summary; a failure shows its description and changes no more.
void TestFileLists::folderButtons()
{
    QFETCH(QStringList, cells);
    const bool input = cells[0] == QLatin1String("in");
    m_w->machine.addDrive(QLatin1Char('D'), DriveKind::CdRom, QStringLiteral("VCD"));
    m_w->machine.writeFile(QStringLiteral("D:\\MPEGAV\\AVSEQ01.DAT"));
    m_w->machine.addDrive(QLatin1Char('E'), DriveKind::Removable, QStringLiteral("CARD"));
    m_w->form->Text4->setText(QStringLiteral("before"));
    m_w->values.SelectedFolder = cells[1];

    const QString title = runWithBrowser(*m_w, input, cells[1] == QLatin1String("cancel"));

    QCOMPARE(title, input ? "Select MPG-input directory" : "Select WMV-output directory");
    const QString boxes = m_w->dialogs.texts().join('|');
    QCOMPARE(m_w->dialogs.texts().size(), cells[2].isEmpty() ? 0 : 1);
    QCOMPARE(boxes.left(cells[2].size()), cells[2]);
    QCOMPARE((input ? m_w->form->File1 : m_w->form->File2)->Path(), cells[3]);
    QCOMPARE(m_w->form->Text4->text(), cells[4]);
}

void TestFileLists::clicksKeepPickedNames_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("picked"); // the lines of Text3
    QTest::addColumn<QStringList>("selected");
    const auto row
            = [](const char *name, const char *clicks, const char *picked, const char *selected) {
                  QTest::newRow(name) << QString(clicks).split(' ') << QString(picked).split(' ')
                                      << QString(selected).split(' ', Qt::SkipEmptyParts);
              };
    row("plain click", "b.mpg", "b.mpg", "b.mpg");
    // The name of an entry taken out of the selection is appended all the same.
    row("Ctrl clears one of three",
        "A.DAT ^b.mpg ^c.MPEG ^b.mpg",
        "A.DAT b.mpg c.MPEG b.mpg",
        "A.DAT c.MPEG");
    // One entry left selected: the text starts afresh with the entry just cleared.
    row("Ctrl clears one of two", "A.DAT ^b.mpg ^A.DAT", "A.DAT", "b.mpg");
    row("Ctrl clears the last", "A.DAT ^A.DAT", "A.DAT", "");
    row("Shift selects a range", "A.DAT +d.mpg", "A.DAT d.mpg", "A.DAT b.mpg c.MPEG d.mpg");
    // A plain click on one of several selected entries narrows the selection to it.
    row("plain click in a selection", "A.DAT ^b.mpg ^c.MPEG b.mpg", "b.mpg", "b.mpg");
    row("keyboard move", "A.DAT v", "b.mpg", "b.mpg");
}

// Each click names both folders in Text4 and keeps a running list of clicked names in Text3.
void TestFileLists::clicksKeepPickedNames()
{
    QFETCH(QStringList, clicks);
    Form1 &form = *m_w->form;
    form.File1->setPath(QStringLiteral("C:\\Videos"));
    form.File2->setPath(QStringLiteral("C:\\Out"));
    form.show();
    form.File1->setGeometry(0, 0, 300, 300);
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    clickEntries(*form.File1, clicks);

    QTEST(form.Text3->text().split("\r\n"), "picked");
    QTEST(entries(*form.File1, true), "selected");
    QCOMPARE(form.Text4->text(), "input directory: C:\\Videos\r\noutput directory: C:\\Out");
}

// A new input folder keeps the picked names and the chosen output folder; a click on a list
// without entries only rewrites Text4.
void TestFileLists::newOrEmptyFolderKeepsPickedNames()
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

QTEST_MAIN(TestFileLists)
#include "test_file_lists.moc"
