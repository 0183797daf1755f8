#include "batch/output_name.h"
#include "batch_window.h"
#include "common/error.h"
#include "sources/file_list_box.h"

#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

// A step that prepares a row's card (given its native root) before the batch.
using Prepare = std::function<void(BatchWindow &, const QString &card)>;
Q_DECLARE_METATYPE(Prepare)

// Batches run through the encode button over a scripted encoder: the order of the files,
// the wait for the stopped state, stops and the window's closing during a batch, the files
// that are not converted, the failures that end a batch, and the copy to the storage card.
class TestBatchRun : public QObject
{
    Q_OBJECT
private slots:
    // A batch of three as a user sees it. With nothing selected, encode only shows the status
    // line. Each file starts once the one before reported its stopped state (running keeps the
    // batch waiting); "ready" with cleared statistics shows between files. A stop ends only the
    // second file; encode and reset, enabled again by it while the batch still waits, neither
    // start a second batch nor pull the list away. Each finished or stopped output goes to the
    // card, unless a file of that name is there or the card was pulled.
    void aBatchOfThree()
    {
        BatchWindow w;
        const QString card = w.insertCard();
        w.machine.writeFile("E:\\a.wmv", "old");
        const QStringList files{"a.mpg", "b.mpg", "c.mpg"};
        w.listInput(files, {});
        Form1 &f = *w.form;
        f.Label5->hide();
        f.cmdStart->click();
        QVERIFY(!f.Label5->isHidden());
        QVERIFY(w.backend->started().isEmpty());
        QCOMPARE(w.lockedControls(), "1111");

        w.listAndSelect(files);
        // Both status lines, size, bar, file name, and which of encode, reset, profiles and list
        // are enabled.
        const auto display = [&] {
            return QStringList{f.Label5->text(),
                               f.Label6->text(),
                               f.Label1->text(),
                               QString::number(f.ProgressBar1->value()),
                               f.Label7->text(),
                               w.lockedControls()}
                    .join('|');
        };
        QStringList seen;
        w.onState([&](qint32 state, int job) {
            if (state == EncoderStarting) {
                seen << display();
                w.writeOutputOfLastJob();
                if (job == 3)
                    w.machine.addEmptySlot(QLatin1Char('E'));
                job == 3 ? w.backend->finish() : w.backend->run();
            } else if (state == EncoderRunning && job == 1) {
                w.backend->setStatistics({20000, 10000, 64000});
                f.Timer1_Timer();
                seen << QString::number(w.backend->started().size()) << f.Label5->text();
                w.backend->finish();
            } else if (state == EncoderRunning) {
                f.cmdStop->click();
            } else if (state == EncoderStopping) {
                seen << w.lockedControls();
                f.cmdStart->click();
                f.cmdReset->click();
            }
        });
        f.cmdStart->click();

        QCOMPARE(seen,
                 (QStringList{"Status: initializing encoder|||0|File: a.wmv|0000",
                              "1",
                              "Status: encoding, 17 % complete, time left: 00:00:50",
                              "Status: initializing encoder|Status: ready||0|File: b.wmv|0000",
                              "1100",
                              "Status: initializing encoder|Status: ready||0|File: c.wmv|0000"}));
        QCOMPARE(w.startedInputs(),
                 (QStringList{"C:\\Videos\\a.mpg", "C:\\Videos\\b.mpg", "C:\\Videos\\c.mpg"}));
        // Encode and reset are usable again; the list and the profiles wait for a reset.
        QCOMPARE(display(), "Status: initializing encoder|Status: ready||0||1100");
        QVERIFY(f.Label5->isHidden() && !f.Label6->isHidden() && f.Line1->isHidden()
                && f.Line2->isHidden() && !f.Timer1->isActive());
        QCOMPARE(f.File1->Path(), "C:\\Videos");
        for (const char *name : {"a.wmv", "b.wmv", "c.wmv"})
            seen << contentOf(card + '/' + name);
        QCOMPARE(seen.mid(6), (QStringList{"old", "b.mpg encoded", "(none)"}));
        QCOMPARE(w.dialogs.texts(), QStringList());
    }

    // The encoder's start fails: one box with the description, then the window is reset and
    // the other files are left.
    void startFailureEndsTheBatch()
    {
        BatchWindow w;
        w.listAndSelect({"a.mpg", "b.mpg"});
        w.backend->failStartWith("The encoder engine could not start: no worker");
        w.form->cmdStart->click();

        QCOMPARE(w.dialogs.texts(), QStringList{"The encoder engine could not start: no worker"});
        QCOMPARE(w.backend->durationReads().size(), 1);
        QCOMPARE(w.form->File1->Path(), "C:\\Program Files\\Clipferry");
        QCOMPARE(w.lockedControls(), "1111");
    }

    void filesThatCannotBeSetUp_data()
    {
        QTest::addColumn<QString>("failing"); // the inputs whose duration cannot be read
        QTest::addColumn<QString>("started");
        QTest::newRow("the middle one") << "b"
                                        << "a c";
        QTest::newRow("the first and the last") << "a c"
                                                << "b";
    }

    // A file the encoder cannot read (empty, no video, unreadable, gone) is named once, in the
    // box at the end, and the batch goes on with the next file: the encoder is not started for
    // it, nothing goes to the card, the window is not reset and ends as after any batch.
    void filesThatCannotBeSetUp()
    {
        QFETCH(QString, failing);
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg", "c.mpg"});
        int reads = 0;
        w.backend->duringProbe = [&](const EncodeJob &job) {
            ++reads;
            const QString name = QFileInfo(job.input).completeBaseName();
            if (failing.split(' ').contains(name))
                throw Error("The file " + job.inputShown + " is empty.");
        };
        w.finishEachJob();
        w.form->cmdStart->click();

        QStringList started, expected;
        for (const QString &input : w.startedInputs())
            started << QFileInfo(QString(input).replace('\\', '/')).completeBaseName();
        QTEST(started.join(' '), "started");
        QCOMPARE(reads, 3);
        for (const QString &name : failing.split(' '))
            expected << name + ".mpg: The file C:\\Videos\\" + name + ".mpg is empty.";
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were not converted:\r\n" + expected.join("\r\n")});
        QCOMPARE(entriesOf(card).size(), started.size());
        QCOMPARE(w.form->File1->Path(), "C:\\Videos");
        QCOMPARE(w.lockedControls(), "1100");
        QCOMPARE(w.form->Label6->text(), "Status: ready");
        QVERIFY(w.form->Label5->isHidden() && !w.form->Label6->isHidden());
    }

    void stopOrCloseWhileTheInputIsRead_data()
    {
        QTest::addColumn<bool>("close"); // otherwise the stop button is clicked
        QTest::addColumn<QString>("started");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("stop") << false << "C:\\Videos\\a.mpg C:\\Videos\\c.mpg"
                              << QStringList{"These files were not converted:\r\n"
                                             "b.mpg: Stopped before converting C:\\Videos\\b.mpg."};
        QTest::newRow("close") << true << "C:\\Videos\\a.mpg" << QStringList();
    }

    // The encoder's reading of the second file's duration is under way when the user stops
    // or closes the window; the reading then ends with a failure (as the encoder's stop makes
    // it). A stop only ends that file. A close ends the batch: no further file, no box, the
    // window's file system released.
    void stopOrCloseWhileTheInputIsRead()
    {
        QFETCH(bool, close);
        BatchWindow w;
        w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg", "c.mpg"});
        w.form->show();
        w.backend->duringProbe = [&](const EncodeJob &job) {
            if (!job.input.endsWith("b.mpg"))
                return;
            close ? void(w.form->close()) : w.form->cmdStop->click();
            throw Error(stoppedBeforeConverting(job.inputShown));
        };
        w.finishEachJob();
        w.form->cmdStart->click();

        QTEST(w.startedInputs().join(' '), "started");
        QTEST(w.dialogs.texts(), "boxes");
        QCOMPARE(!w.form->FileSys, close);
    }

    // The encode is stopped and its output finished, no further file starts, nothing goes to
    // the card, and the window releases its file system.
    void closingTheWindowEndsTheBatch()
    {
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg"});
        w.form->show();
        w.onState([&](qint32 state, int) {
            if (state == EncoderStarting) {
                w.writeOutputOfLastJob();
                w.backend->run();
            } else if (state == EncoderRunning) {
                w.form->close();
            }
        });
        w.form->cmdStart->click();

        QCOMPARE(w.backend->started().size(), 1);
        QVERIFY(!w.backend->isActive());
        QVERIFY(!w.form->FileSys);
        QCOMPARE(w.output("a.wmv"), QByteArray("a.mpg encoded"));
        QVERIFY(!QFile::exists(card + "/a.wmv"));
        QCOMPARE(w.dialogs.texts(), QStringList());
    }

    // A file without a known ending, or whose output another input of the batch already took
    // (regardless of letter case), is not encoded and is named at the end. With the copy box
    // ticked but no card chosen nothing is copied, and no failure is shown.
    void filesWithoutAnOutputNameAreNamedAtTheEnd()
    {
        BatchWindow w;
        const QString card = w.insertCard(QString());
        w.listAndSelect(QString("notes.txt a.mpg a.mpeg clip.mpg clip.MPG b.Mpg Talk.dat talk.mpeg")
                                .split(' '));
        w.finishEachJob();
        w.form->cmdStart->click();

        // The list is in name order; of two inputs with one output the first one is encoded.
        QCOMPARE(w.startedInputs(),
                 (QStringList{
                         "C:\\Videos\\a.mpeg", "C:\\Videos\\clip.MPG", "C:\\Videos\\Talk.dat"}));
        QCOMPARE(w.output("a.wmv"), QByteArray("a.mpeg encoded"));
        QCOMPARE(w.output("clip.wmv"), QByteArray("clip.MPG encoded"));
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were not converted:\r\n"
                             "a.mpg: its output a.wmv is already the output of a.mpeg\r\n"
                             "b.Mpg: not an MPEG or Video CD file\r\n"
                             "clip.mpg: its output clip.wmv is already the output of clip.MPG\r\n"
                             "notes.txt: not an MPEG or Video CD file\r\n"
                             "talk.mpeg: its output talk.wmv is already the output of Talk.dat"});
        QCOMPARE(contentOf(w.machine.native("C:\\Videos\\notes.txt")), QByteArray("notes.txt"));
        QCOMPARE(QDir(card).entryList(QDir::Files), QStringList());
    }

    void copiesToTheCard_data()
    {
        QTest::addColumn<Prepare>("prepare"); // the card (its native root) before the batch
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("card"); // its entries afterwards, hidden ones included
        QTest::addColumn<QByteArray>("first"); // the card's copy of the first output
        QTest::addColumn<QString>("box");
        const QStringList ab{"a.mpg", "b.mpg"};
        QTest::newRow("read-only file of that name")
                << Prepare([](BatchWindow &, const QString &card) {
                       writeFile(card + "/a.wmv", "old");
                       QFile::setPermissions(card + "/a.wmv", QFile::ReadOwner);
                   })
                << ab << QStringList{"a.wmv", "b.wmv"} << QByteArray("old") << "";
        // Only names of exactly the program's own form are its temporaries.
        const QStringList users{".clipferry-Ab3dE5g.tmp",
                                ".clipferry-Ab3dE5gH.tmp~",
                                ".clipferry-notes.tmp",
                                "clipferry-Ab3dE5gH.tmp"};
        QTest::newRow("temporaries left by a cut-off copy") << Prepare(
                [users](BatchWindow &, const QString &card) {
                    for (const QString &name :
                         users + QStringList{".clipferry-Ab3dE5gH.tmp", ".clipferry-Zz9Yy8X0.part"})
                        writeFile(card + '/' + name, "left");
                }) << ab << users + QStringList{"a.wmv", "b.wmv"}
                                                            << QByteArray("a.mpg encoded") << "";
        // A name of 255 bytes, the most the file system takes.
        const QString longest(251, 'n');
        QTest::newRow("longest name")
                << Prepare() << QStringList{longest + ".mpg", "b.mpg"}
                << QStringList{"b.wmv", longest + ".wmv"} << longest.toUtf8() + ".mpg encoded"
                << "";
        QTest::newRow("a folder under the output's name")
                << Prepare([](BatchWindow &, const QString &card) { QDir(card).mkdir("a.wmv"); })
                << ab << QStringList{"a.wmv", "b.wmv"} << QByteArray("(none)")
                << "These files were converted, with remarks:\r\n"
                   "a.mpg: not copied to the storage card: cannot write E:\\a.wmv: File exists";
        // The user removed the output before the copy; a file without an output name shows
        // that both lists come in one box.
        QTest::newRow("output gone, and a file not converted")
                << Prepare([](BatchWindow &w, const QString &) {
                       w.onState([&w](qint32 state, int job) {
                           if (state == EncoderStopped && job == 1)
                               QFile::remove(w.machine.native("C:\\Out\\a.wmv"));
                       });
                   })
                << QStringList{"a.mpg", "b.mpg", "notes.txt"} << QStringList{"b.wmv"}
                << QByteArray("(none)")
                << "These files were not converted:\r\n"
                   "notes.txt: not an MPEG or Video CD file\r\n\r\n"
                   "These files were converted, with remarks:\r\n"
                   "a.mpg: not copied to the storage card: cannot read C:\\Out\\a.wmv: No such "
                   "file "
                   "or directory";
    }

    // What lies on the card decides what is copied. A copy that fails is named at the end and
    // the batch goes on; the output stays in the output folder, the card holds no part of it.
    void copiesToTheCard()
    {
        QFETCH(Prepare, prepare);
        QFETCH(QStringList, inputs);
        BatchWindow w;
        const QString cardRoot = w.insertCard();
        w.listAndSelect(inputs);
        w.finishEachJob();
        if (prepare)
            prepare(w, cardRoot);
        w.form->cmdStart->click();

        QFETCH(QStringList, card);
        card.sort();
        QCOMPARE(entriesOf(cardRoot), card);
        const QString first = outputNameFor(inputs.first()).value();
        QTEST(contentOf(cardRoot + '/' + first), "first");
        QFETCH(QString, box);
        QCOMPARE(w.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(w.output("b.wmv"), QByteArray("b.mpg encoded"));
    }

    // The window closes while a copy to the card runs (its source delivers slowly): the copy
    // is abandoned and leaves nothing on the card, no further file starts, nothing is shown.
    void closingTheWindowDuringACopy()
    {
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg"});
        w.form->show();
        const QString output = w.machine.native("C:\\Out") + "/a.wmv";
        QVERIFY(::mkfifo(QFile::encodeName(output).constData(), 0600) == 0);
        // Held open for writing, the pipe lets the copy start and keeps it waiting for bytes.
        const int pipe = ::open(QFile::encodeName(output).constData(), O_RDWR | O_CLOEXEC);
        QVERIFY(pipe >= 0);
        w.onState([&](qint32 state, int) {
            if (state == EncoderStarting)
                w.backend->finish();
        });
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (entriesOf(card).isEmpty())
                return; // the copy has not made its temporary yet
            closer.stop();
            w.form->close();
            QVERIFY(::write(pipe, "bytes", 5) == 5);
            ::close(pipe);
        });
        closer.start(5);
        w.form->cmdStart->click();

        QCOMPARE(w.backend->started().size(), 1);
        QCOMPARE(entriesOf(card), QStringList());
        QCOMPARE(w.dialogs.texts(), QStringList());
    }

    void failureInsideTheEngine_data()
    {
        QTest::addColumn<QByteArray>("before"); // the output already there; "" = none
        QTest::addColumn<bool>("engineWrites");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("partial output removed") << QByteArray() << true << QByteArray("(none)");
        QTest::newRow("earlier file left alone") << QByteArray("old") << false << QByteArray("old");
        QTest::newRow("earlier file overwritten, then removed")
                << QByteArray("old") << true << QByteArray("(none)");
    }

    // A file the engine failed on leaves no output of its own and goes not to the card; the
    // batch goes on and names the file and the reason at the end.
    void failureInsideTheEngine()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, engineWrites);
        BatchWindow w;
        const QString card = w.insertCard();
        if (!before.isEmpty())
            w.machine.writeFile("C:\\Out\\a.wmv", before);
        w.listAndSelect({"a.mpg", "b.mpg"});
        const QString reason = "The input C:\\Videos\\a.mpg is damaged: invalid frame";
        w.onState([&](qint32 state, int job) {
            if (state != EncoderStarting)
                return;
            if (job == 2 || engineWrites)
                w.writeOutputOfLastJob();
            w.backend->finish(job == 1 ? reason : QString());
        });
        w.form->cmdStart->click();

        QTEST(w.output("a.wmv"), "after");
        QVERIFY(!QFile::exists(card + "/a.wmv"));
        QCOMPARE(contentOf(card + "/b.wmv"), QByteArray("b.mpg encoded"));
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were not converted:\r\na.mpg: " + reason});
    }
};

QTEST_MAIN(TestBatchRun)
#include "test_batch_run.moc"
