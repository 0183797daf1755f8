#include "batch/output_name.h"
#include "batch_window.h"
#include "common/error.h"
#include "platform/volume_probe.h"

#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// A step that prepares a row's card (given its native root) before the batch.
using Prepare = std::function<void(BatchWindow &, const QString &card)>;
Q_DECLARE_METATYPE(Prepare)
Q_DECLARE_METATYPE(JobEnd)

// Batches run through the encode button over a scripted encoder.
class TestBatchRun : public QObject
{
    Q_OBJECT
private slots:
    // Files in turn, each after the last stopped; a stop ends only its file; card copies.
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
        QCOMPARE(w.started() + w.lockedControls(), "1111");

        w.listAndSelect(files);
        const auto display = [&] {
            return f.Label5->text() + '|' + f.Label6->text() + '|' + f.Label1->text() + '|'
                   + QString::number(f.ProgressBar1->value()) + '|' + f.Label7->text() + '|'
                   + w.lockedControls();
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

        for (const char *name : {"a.wmv", "b.wmv", "c.wmv"})
            seen << contentOf(card + '/' + name);
        QCOMPARE(seen.join('\n'),
                 "Status: initializing encoder|||0|File: a.wmv|0000\n1\n"
                 "Status: encoding, 17 % complete, time left: 00:00:50\n"
                 "Status: initializing encoder|Status: ready||0|File: b.wmv|0000\n1100\n"
                 "Status: initializing encoder|Status: ready||0|File: c.wmv|0000\n"
                 "old\nb.mpg encoded\n(none)");
        QCOMPARE(w.started(), "a.mpg b.mpg c.mpg");
        // Encode and reset are usable again; the list and the profiles wait for a reset.
        QCOMPARE(display(), "Status: initializing encoder|Status: ready||0||1100");
        QVERIFY(f.Label5->isHidden() && !f.Label6->isHidden() && f.Line1->isHidden()
                && f.Line2->isHidden() && !f.Timer1->isActive());
        QCOMPARE(f.File1->Path(), "C:\\Videos");
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were converted, with remarks:\r\n"
                             "b.mpg: stopped by the user; b.wmv holds the part converted so far"});
    }

    // One box with the description, then the window is reset and the other files are left.
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

    // Files whose set-up fails (the first and the last) are named at the end, as is a file
    // converted in one pass where two were asked for; the batch goes on around them.
    void filesThatCannotBeSetUp()
    {
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg", "c.mpg"});
        w.backend->duringDurationRead = [&](const EncodeJob &job) {
            if (!job.input.endsWith("b.mpg"))
                throw Error("The file " + job.inputShown + " is empty.");
        };
        const QString onePass = "converted in one pass: two-pass encoding cannot reach the "
                                "profile's video bit rate of 10000 bits per second for this file";
        w.onState([&](qint32 state, int) {
            if (state == EncoderStarting) {
                w.writeOutputOfLastJob();
                w.backend->finish(QString(), onePass);
            }
        });
        w.form->cmdStart->click();

        QCOMPARE(w.started(), "b.mpg");
        QCOMPARE(w.backend->durationReads().size(), 3);
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were not converted:\r\n"
                             "a.mpg: The file C:\\Videos\\a.mpg is empty.\r\n"
                             "c.mpg: The file C:\\Videos\\c.mpg is empty.\r\n\r\n"
                             "These files were converted, with remarks:\r\nb.mpg: "
                             + onePass});
        QCOMPARE(entriesOf(card), QStringList{"b.wmv"});
        QCOMPARE(w.form->File1->Path(), "C:\\Videos");
        QCOMPARE(w.lockedControls(), "1100");
        QVERIFY(w.form->Label5->isHidden() && !w.form->Label6->isHidden());
        QCOMPARE(w.form->Label6->text(), "Status: ready");
    }

    void stopOrClose_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::addColumn<QString>("started");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("box");
        const auto row = [](const char *tag,
                            const char *moment,
                            const char *started,
                            const char *card,
                            const char *box) {
            QTest::newRow(tag) << QString(moment) << QString(started) << QString(card)
                               << QString(box);
        };
        row("stop while b is read",
            "stop",
            "a.mpg c.mpg",
            "a.wmv c.wmv",
            "These files were not converted:\r\n"
            "b.mpg: stopped by the user before converting; nothing was written");
        row("close while b is read", "close", "a.mpg", "a.wmv", "");
        row("close while a encodes", "close a", "a.mpg", "", "");
    }

    // A stop (which fails the duration read) ends its file only; a close ends the batch quietly.
    void stopOrClose()
    {
        QFETCH(QString, moment);
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg", "c.mpg"});
        w.form->show();
        w.backend->duringDurationRead = [&](const EncodeJob &job) {
            if (moment == "close a" || !job.input.endsWith("b.mpg"))
                return;
            moment == "stop" ? w.form->cmdStop->click() : void(w.form->close());
            throw Error(stoppedBeforeConverting(job.inputShown));
        };
        w.onState([&](qint32 state, int) {
            if (state == EncoderStarting) {
                w.writeOutputOfLastJob();
                moment == "close a" ? w.backend->run() : w.backend->finish();
            } else if (state == EncoderRunning) {
                w.form->close();
            }
        });
        w.form->cmdStart->click();

        QTEST(w.started(), "started");
        QVERIFY(!w.backend->isActive());
        QCOMPARE(w.output("a.wmv"), QByteArray("a.mpg encoded"));
        QTEST(entriesOf(card).join(' '), "card");
        QFETCH(QString, box);
        QCOMPARE(w.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(!w.form->FileSys, moment != "stop");
    }

    void whatAStopLeaves_data()
    {
        QTest::addColumn<JobEnd>("end");
        QTest::addColumn<QByteArray>("earlier"); // C:\Out\a.wmv before the batch; "" = none
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("box");
        QTest::newRow("in the written pass")
                << JobEnd::Stopped << QByteArray("old") << QByteArray("a.mpg encoded")
                << "These files were converted, with remarks:\r\n"
                   "a.mpg: stopped by the user; a.wmv holds the part converted so far";
        QTest::newRow("in the first of two passes, over an earlier file")
                << JobEnd::StoppedBeforeOutput << QByteArray("old") << QByteArray("old")
                << "These files were not converted:\r\n"
                   "a.mpg: stopped by the user before converting; the earlier a.wmv stays as it "
                   "was";
    }

    // The box at the end says what a stop left; only a part converted goes to the card.
    void whatAStopLeaves()
    {
        QFETCH(JobEnd, end);
        QFETCH(QByteArray, earlier);
        BatchWindow w;
        const QString card = w.insertCard();
        if (!earlier.isEmpty())
            w.machine.writeFile("C:\\Out\\a.wmv", earlier);
        w.listAndSelect({"a.mpg", "b.mpg"});
        w.backend->setStopEnd(end);
        w.onState([&](qint32 state, int job) {
            if (state == EncoderStarting && (job == 2 || end == JobEnd::Stopped))
                w.writeOutputOfLastJob();
            if (state == EncoderStarting)
                job == 1 ? w.backend->run() : w.backend->finish();
            else if (state == EncoderRunning)
                w.form->cmdStop->click();
        });
        w.form->cmdStart->click();

        QTEST(w.output("a.wmv"), "after");
        QTEST(w.dialogs.texts().join(""), "box");
        QCOMPARE(entriesOf(card).join(' '), end == JobEnd::Stopped ? "a.wmv b.wmv" : "b.wmv");
    }

    // Closing during a card copy abandons it without a trace, a further file or a box.
    void closingTheWindowDuringACopy()
    {
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg"});
        w.form->show();
        const QByteArray output = QFile::encodeName(w.machine.native("C:\\Out") + "/a.wmv");
        QVERIFY(::mkfifo(output.constData(), 0600) == 0);
        // Held open for writing, the pipe lets the copy start and keeps it waiting for bytes.
        const int pipe = ::open(output.constData(), O_RDWR | O_CLOEXEC);
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

    // No known ending, or an output name taken in any case: named at the end. No card chosen.
    void filesWithoutAnOutputNameAreNamedAtTheEnd()
    {
        BatchWindow w;
        const QString card = w.insertCard(QString());
        w.listAndSelect(QString("notes.txt a.mpg a.mpeg clip.mpg clip.MPG b.Mpg Talk.dat talk.mpeg")
                                .split(' '));
        w.finishEachJob();
        w.form->cmdStart->click();

        QCOMPARE(w.started(), "a.mpeg clip.MPG Talk.dat");
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
        QCOMPARE(entriesOf(card), QStringList());
    }

    void copiesToTheCard_data()
    {
        QTest::addColumn<Prepare>("prepare");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("card"); // its entries afterwards, hidden ones included
        QTest::addColumn<QByteArray>("first"); // the card's copy of the first output
        QTest::addColumn<QString>("box");
        const QStringList ab{"a.mpg", "b.mpg"}, copied{"a.wmv", "b.wmv"};
        QTest::newRow("read-only file of that name")
                << Prepare([](BatchWindow &, const QString &card) {
                       writeFile(card + "/a.wmv", "old");
                       QFile::setPermissions(card + "/a.wmv", QFile::ReadOwner);
                   })
                << ab << copied << QByteArray("old") << "";
        // Only names of exactly the program's own form are its temporaries.
        const QStringList users = QString(".clipferry-Ab3dE5g.tmp .clipferry-Ab3dE5gH9.tmp "
                                          ".clipferry-Ab3dE5gH.tmp~ .clipferry-Ab3d-5gH.tmp "
                                          ".clipferry-Ab3dE5gH.wmv .clipferry-Ab3dE5gH "
                                          ".clipferry-notes.tmp clipferry-Ab3dE5gH.tmp")
                                          .split(' ');
        QTest::newRow("temporaries left by a cut-off copy") << Prepare(
                [users](BatchWindow &, const QString &card) {
                    for (const QString &name :
                         users + QStringList{".clipferry-Ab3dE5gH.tmp", ".clipferry-Zz9Yy8X0.part"})
                        writeFile(card + '/' + name, "left");
                }) << ab << users + copied << QByteArray("a.mpg encoded")
                                                            << "";
        const QString longest(251, 'n'); // 255 bytes with the ending, the most a name takes
        QTest::newRow("longest name")
                << Prepare() << QStringList{longest + ".mpg", "b.mpg"}
                << QStringList{"b.wmv", longest + ".wmv"} << longest.toUtf8() + ".mpg encoded"
                << "";
        // The last copy of the batch, as no later copy clears a temporary this one leaves.
        QTest::newRow("a folder under the output's name")
                << Prepare([](BatchWindow &, const QString &card) { QDir(card).mkdir("b.wmv"); })
                << ab << copied << QByteArray("a.mpg encoded")
                << "These files were converted, with remarks:\r\n"
                   "b.mpg: not copied to the storage card: cannot write E:\\b.wmv: File exists";
        QTest::newRow("output gone before its copy")
                << Prepare([](BatchWindow &w, const QString &) {
                       w.onState([&w](qint32 state, int job) {
                           if (state == EncoderStopped && job == 1)
                               QFile::remove(w.machine.native("C:\\Out\\a.wmv"));
                       });
                   })
                << ab << QStringList{"b.wmv"} << QByteArray("(none)")
                << "These files were converted, with remarks:\r\n"
                   "a.mpg: not copied to the storage card: cannot read C:\\Out\\a.wmv: No such "
                   "file or directory";
        // Its file system keeps an earlier question waiting, as a card gone bad does.
        QTest::newRow("a card that does not answer")
                << Prepare([](BatchWindow &, const QString &card) {
                       askWithin(card, std::chrono::milliseconds(1), [] {
                           std::this_thread::sleep_for(std::chrono::seconds(60));
                           return std::optional<VolumeSpace>();
                       });
                   })
                << ab << QStringList() << QByteArray("(none)")
                << "These files were converted, with remarks:\r\n"
                   "a.mpg: not copied to the storage card: the card did not answer\r\n"
                   "b.mpg: not copied to the storage card: the card did not answer";
    }

    // A failed copy is named at the end, the batch goes on, and the card holds no part of it.
    void copiesToTheCard()
    {
        QFETCH(Prepare, prepare);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, card);
        QFETCH(QString, box);
        BatchWindow w;
        const QString cardRoot = w.insertCard();
        w.listAndSelect(inputs);
        w.finishEachJob();
        if (prepare)
            prepare(w, cardRoot);
        w.form->cmdStart->click();

        card.sort();
        QCOMPARE(entriesOf(cardRoot), card);
        QTEST(contentOf(cardRoot + '/' + outputNameFor(inputs.first()).value()), "first");
        QCOMPARE(w.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(w.output("b.wmv"), QByteArray("b.mpg encoded"));
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

    // A file the engine failed on leaves no output of its own, is not copied, is named.
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
        QCOMPARE(entriesOf(card), QStringList{"b.wmv"});
        QCOMPARE(contentOf(card + "/b.wmv"), QByteArray("b.mpg encoded"));
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were not converted:\r\na.mpg: " + reason});
    }
};

QTEST_MAIN(TestBatchRun)
#include "test_batch_run.moc"
