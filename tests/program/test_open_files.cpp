// Files and folders given to the program by the desktop: as command-line arguments (the
// menu entry's "Open with") and dropped on the main window from the file manager. Either
// way the program must end up as if the user had picked the folder with the input button
// and clicked the files in "Select Files".

#include "started_program.h"

#include "app/text_box.h"
#include "clip_generator.h"
#include "common/texts.h"
#include "platform/encoder.h"
#include "platform/win_paths.h"
#include "sources/file_list_box.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QtTest>

namespace {

QStringList selectedEntries(const FileListBox &list)
{
    QStringList names;
    for (int index = 0; index < list.ListCount(); ++index) {
        if (list.Selected(index))
            names.append(list.List(index));
    }
    return names;
}

// Sends one step of a drag from the file manager to a widget of the window, as the window
// system delivers it; returns the action the widget took it with, IgnoreAction if refused.
Qt::DropAction dragStep(QWidget *target,
                        QEvent::Type type,
                        const QMimeData &data,
                        Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    const QPointF at = QRectF(target->rect()).center();
    if (type == QEvent::DragEnter) {
        QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        return enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction;
    }
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::sendPostedEvents(); // the files are opened once the drop is over
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// A drag of files; the drop follows when the widget takes the drag.
Qt::DropAction dropFiles(QWidget *target,
                         const QStringList &nativePaths,
                         Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : nativePaths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const Qt::DropAction taken = dragStep(target, QEvent::DragEnter, data, actions);
    return taken == Qt::IgnoreAction ? taken : dragStep(target, QEvent::Drop, data, actions);
}

} // namespace

class TestOpenFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startedWith_data();
    void startedWith();
    void droppedOnTheWindow();
    void dropsThatAreRefused();
    void notWhileABatchRuns();

private:
    QString native(const QString &relative) const { return m_files.filePath(relative); }
    // The program's name of a test folder or file: Z:\tmp\...\a
    QString shown(const QString &relative) const { return toWindowsPath(native(relative)); }

    QTemporaryDir m_files;
};

void TestOpenFiles::initTestCase()
{
    QVERIFY(m_files.isValid());
    for (const char *folder : {"a", "b", "c"})
        QVERIFY(QDir(m_files.path()).mkpath(folder));
    for (const char *file : {"a/one.mpg", "a/two.DAT", "a/.hidden.mpg", "b/three.mpg"}) {
        QFile out(native(file));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write("x") == 1);
    }
    makeClip(native("c/short.mpg"), {.seconds = 1});
    makeClip(native("c/other.mpg"), {.seconds = 1});
}

void TestOpenFiles::startedWith_data()
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
    QTest::newRow("two clips, clicked in the order given")
            << QStringList{"a/two.DAT", "a/one.mpg"} << "a" << QStringList{"one.mpg", "two.DAT"}
            << "two.DAT\r\none.mpg" << clicked << QStringList{};
    QTest::newRow("a folder") << QStringList{"a/"} << "a" << QStringList{} << ""
                              << QStringList{"input", "output"} << QStringList{};
    QTest::newRow("relative paths, one file twice")
            << QStringList{"a/one.mpg", "./a/one.mpg", "b/../a/two.DAT"} << "a"
            << QStringList{"one.mpg", "two.DAT"} << "one.mpg\r\ntwo.DAT" << clicked
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
}

void TestOpenFiles::startedWith()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, inputFolder);
    QFETCH(QStringList, selected);
    QFETCH(QString, myFiles);
    QFETCH(QStringList, summary);
    QFETCH(QStringList, notOpened);

    // Relative paths are taken from the folder the program was started in.
    const QString startedIn = QDir::currentPath();
    QDir::setCurrent(m_files.path());
    StartedProgram program;
    Form1 &window = program.start(arguments);
    QDir::setCurrent(startedIn);

    const QString folder = inputFolder.isEmpty() ? QString() : shown(inputFolder);
    QCOMPARE(window.File1->Path(), folder);
    QCOMPARE(window.File2->Path(), folder); // no output folder chosen: it follows the input
    QCOMPARE(selectedEntries(*window.File1), selected);
    QCOMPARE(window.Text3->text(), myFiles);
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
// file manager never deletes what was dragged.
void TestOpenFiles::droppedOnTheWindow()
{
    StartedProgram program;
    Form1 &window = program.start();
    QCOMPARE(dropFiles(&window, {native("a/one.mpg"), native("b/three.mpg")}), Qt::CopyAction);
    QCOMPARE(window.File1->Path(), shown("a"));
    QCOMPARE(selectedEntries(*window.File1), QStringList{"one.mpg"});
    QCOMPARE(program.dialogs.texts().size(), 1); // three.mpg is in another folder

    QCOMPARE(dropFiles(window.Text3->viewport(), {native("b")}), Qt::CopyAction);
    QCOMPARE(window.File1->Path(), shown("b"));
    QCOMPARE(window.Text3->text(), QStringLiteral("one.mpg")); // left as clicking left it
    QCOMPARE(window.Text4->text(), joinCrLf({"input: " + shown("b"), "output: " + shown("a")}));
}

void TestOpenFiles::dropsThatAreRefused()
{
    StartedProgram program;
    Form1 &window = program.start({native("a")});
    // A move the file manager would finish by deleting the file.
    QCOMPARE(dropFiles(&window, {native("b/three.mpg")}, Qt::MoveAction), Qt::IgnoreAction);
    // Addresses that are not files of this computer.
    QMimeData web;
    web.setUrls({QUrl("https://example.org/clip.mpg")});
    QCOMPARE(dragStep(&window, QEvent::DragEnter, web), Qt::IgnoreAction);
    QCOMPARE(window.File1->Path(), shown("a"));
    QCOMPARE(program.dialogs.texts(), QStringList());
}

// While a batch runs, and after it until the reset (File1 stays locked to show what was
// converted), a drag is refused and a drop changes nothing.
void TestOpenFiles::notWhileABatchRuns()
{
    StartedProgram program;
    Form1 &window = program.start({native("c/short.mpg"), native("c/other.mpg")});
    QList<Qt::DropAction> takenDuringBatch;
    QObject::connect(window.Encoder.get(), &MediaEncoder::stateChanged, &window, [&](qint32 s) {
        if (s == EncoderRunning)
            takenDuringBatch.append(dropFiles(&window, {native("a/one.mpg")}));
    });
    QTest::mouseClick(window.cmdStart, Qt::LeftButton);
    QVERIFY(!takenDuringBatch.isEmpty());
    QCOMPARE(takenDuringBatch, QList<Qt::DropAction>(takenDuringBatch.size(), Qt::IgnoreAction));
    QCOMPARE(dropFiles(&window, {native("a/one.mpg")}), Qt::IgnoreAction);
    QCOMPARE(window.File1->Path(), shown("c"));

    QTest::mouseClick(window.cmdReset, Qt::LeftButton);
    QCOMPARE(dropFiles(&window, {native("a/one.mpg")}), Qt::CopyAction);
    QCOMPARE(selectedEntries(*window.File1), QStringList{"one.mpg"});
}

QTEST_MAIN(TestOpenFiles)
#include "test_open_files.moc"
