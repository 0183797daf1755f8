// Files and folders given to the program by the desktop: as command-line arguments (the
// menu entry's "Open with") and dropped on the main window from the file manager. Either
// way the program must end up as if the user had picked the folder with the input button
// and clicked the files in "Select Files".

#include "clip_generator.h"
#include "common/texts.h"
#include "encoder/encoder.h"
#include "platform/win_paths.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

namespace {

// Drags files (or other addresses) from the file manager onto a widget of the window, as the
// window system delivers it: the action the drop was taken with, IgnoreAction if refused.
Qt::DropAction drop(QWidget *target,
                    const QList<QUrl> &urls,
                    Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent dropped(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QCoreApplication::sendPostedEvents(); // the files are opened once the drop is over
    return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
}

} // namespace

class TestOpenFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        for (const char *folder : {"a", "b", "c", "d"})
            QVERIFY(QDir(m_files.path()).mkpath(folder));
        for (const char *file :
             {"a/one.mpg", "a/two.DAT", "a/.hidden.mpg", "b/three.mpg", "d/a\\b.mpg", "d/ok.mpg"}) {
            QFile out(native(file));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write("x") == 1);
        }
        makeClip(native("c/short.mpg"), {.seconds = 1});
        makeClip(native("c/other.mpg"), {.seconds = 1});
    }

    void startedWith_data()
    {
        QTest::addColumn<QStringList>("arguments"); // relative to the test's folder
        QTest::addColumn<QString>("inputFolder");   // relative; empty: none chosen
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("myFiles");
        // The folder summary's labels: the input button's, or File1_Click's after a click.
        QTest::addColumn<QStringList>("summary");
        QTest::addColumn<QStringList>("notOpened"); // %1 stands for the test's folder

        const QStringList clicked{"input directory", "output directory"};

        QTest::newRow("nothing") << QStringList{} << "" << QStringList{} << "" << QStringList{}
                                 << QStringList{};
        QTest::newRow("a folder") << QStringList{"a/"} << "a" << QStringList{} << ""
                                  << QStringList{"input", "output"} << QStringList{};
        QTest::newRow("relative paths, one file twice, in the order given")
                << QStringList{"a/two.DAT", "./a/one.mpg", "b/../a/two.DAT"} << "a"
                << QStringList{"one.mpg", "two.DAT"} << "two.DAT\r\none.mpg" << clicked
                << QStringList{};
        QTest::newRow("files of two folders and a second folder")
                << QStringList{"a/one.mpg", "b/three.mpg", "c", "a/two.DAT"} << "a"
                << QStringList{"one.mpg", "two.DAT"} << "one.mpg\r\ntwo.DAT" << clicked
                << QStringList{"%1\\b\\three.mpg: not in the input folder %1\\a",
                               "%1\\c: a second folder"};
        QTest::newRow("a folder, then files in it and elsewhere")
                << QStringList{"a", "a/two.DAT", "b/three.mpg"} << "a" << QStringList{"two.DAT"}
                << "two.DAT" << clicked
                << QStringList{"%1\\b\\three.mpg: not in the input folder %1\\a"};
        QTest::newRow("a missing and a hidden file")
                << QStringList{"a/gone.mpg", "a/.hidden.mpg", "a/one.mpg"} << "a"
                << QStringList{"one.mpg"} << "one.mpg" << clicked
                << QStringList{"%1\\a\\gone.mpg: there is no such file",
                               "%1\\a\\.hidden.mpg: not listed in Select Files"};
        // No Windows path can hold a name with "\".
        const QString backslash = "\"a\\b.mpg\" in %1\\d: a name holding \"\\\" cannot be "
                                  "opened; rename the file to convert it";
        QTest::newRow("a name holding \"\\\"")
                << QStringList{"d/a\\b.mpg", "d/ok.mpg"} << "d" << QStringList{"ok.mpg"} << "ok.mpg"
                << clicked << QStringList{backslash};
    }

    void startedWith()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, inputFolder);
        QFETCH(QStringList, summary);
        QFETCH(QStringList, notOpened);

        // Relative paths are taken from the folder the program was started in.
        const QString startedIn = QDir::currentPath();
        QDir::setCurrent(m_files.path());
        ProgramFixture program;
        Form1 &window = program.start(arguments);
        QDir::setCurrent(startedIn);

        const QString folder = inputFolder.isEmpty() ? QString() : shown(inputFolder);
        QCOMPARE(window.File1->Path(), folder);
        QCOMPARE(window.File2->Path(), folder); // no output folder chosen: it follows the input
        QTEST(listed(*window.File1, true), "selected");
        QTEST(window.Text3->text(), "myFiles");
        QCOMPARE(window.Text4->text(),
                 summary.isEmpty()
                         ? QString()
                         : joinCrLf({summary[0] + ": " + folder, summary[1] + ": " + folder}));
        QStringList boxes;
        if (!notOpened.isEmpty()) {
            QStringList lines{"These files were not opened:"};
            for (const QString &line : notOpened)
                lines.append(line.arg(toWindowsPath(m_files.path())));
            boxes.append(joinCrLf(lines));
        }
        QCOMPARE(program.dialogs.texts(), boxes);
    }

    // Dropped on the window or on one of its text boxes (which would otherwise paste the files'
    // addresses): opened as the command line opens them, and only ever taken as a copy, so the
    // file manager never deletes what was dragged; a move and addresses of other computers are
    // refused.
    void drops()
    {
        ProgramFixture program;
        Form1 &window = program.start();
        QCOMPARE(drop(&window, {url("a/one.mpg")}, Qt::MoveAction), Qt::IgnoreAction);
        QCOMPARE(drop(&window, {QUrl("https://example.org/clip.mpg")}), Qt::IgnoreAction);
        QCOMPARE(program.dialogs.texts(), QStringList());
        QCOMPARE(window.File1->Path(), QString());

        QCOMPARE(drop(&window, {url("a/one.mpg"), url("b/three.mpg")}), Qt::CopyAction);
        QCOMPARE(window.File1->Path(), shown("a"));
        QCOMPARE(listed(*window.File1, true), QStringList{"one.mpg"});
        QCOMPARE(program.dialogs.texts().size(), 1); // three.mpg is in another folder

        QCOMPARE(drop(window.Text3->viewport(), {url("b")}), Qt::CopyAction);
        QCOMPARE(window.File1->Path(), shown("b"));
        QCOMPARE(window.Text3->text(), QStringLiteral("one.mpg")); // left as clicking left it
        QCOMPARE(window.Text4->text(), joinCrLf({"input: " + shown("b"), "output: " + shown("a")}));

        // A name from an older disk comes as its bytes, percent-encoded: taken without loss.
        const QByteArray latin1 = QFile::encodeName(native("b")) + "/caf\xe9.mpg";
        QVERIFY(QFile::copy(native("b/three.mpg"), native("b/ascii.mpg")));
        QCOMPARE(::rename(QFile::encodeName(native("b/ascii.mpg")).constData(), latin1), 0);
        QCOMPARE(drop(&window, {QUrl::fromEncoded("file://" + latin1.toPercentEncoding("/"))}),
                 Qt::CopyAction);
        QCOMPARE(listed(*window.File1, true), QStringList{QString("caf") + QChar(0xEFE9) + ".mpg"});
    }

    // While a batch runs, and after it until the reset (File1 stays locked to show what was
    // converted), a drag is refused and a drop changes nothing.
    void notWhileABatchRuns()
    {
        ProgramFixture program;
        Form1 &window = program.start({native("c/short.mpg"), native("c/other.mpg")});
        QList<Qt::DropAction> takenDuringBatch;
        QObject::connect(window.jobSetup().Encoder.get(),
                         &MediaEncoder::stateChanged,
                         &window,
                         [&](qint32 s) {
                             if (s == EncoderRunning)
                                 takenDuringBatch.append(drop(&window, {url("a/one.mpg")}));
                         });
        QTest::mouseClick(window.cmdStart, Qt::LeftButton);
        QVERIFY(!takenDuringBatch.isEmpty());
        QCOMPARE(takenDuringBatch,
                 QList<Qt::DropAction>(takenDuringBatch.size(), Qt::IgnoreAction));
        QCOMPARE(drop(&window, {url("a/one.mpg")}), Qt::IgnoreAction);
        QCOMPARE(window.File1->Path(), shown("c"));

        QTest::mouseClick(window.cmdReset, Qt::LeftButton);
        QCOMPARE(drop(&window, {url("a/one.mpg")}), Qt::CopyAction);
        QCOMPARE(listed(*window.File1, true), QStringList{"one.mpg"});
    }

private:
    QString native(const QString &relative) const { return m_files.filePath(relative); }
    QUrl url(const QString &relative) const { return QUrl::fromLocalFile(native(relative)); }
    // The program's name of a test folder or file: Z:\tmp\...\a
    QString shown(const QString &relative) const { return toWindowsPath(native(relative)); }

    QTemporaryDir m_files;
};

QTEST_MAIN(TestOpenFiles)
#include "test_open_files.moc"
