#include "batch_window.h"
#include "sources/file_list_box.h"

#include <QtTest>

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

    void errorEndsTheBatch_data()
    {
        QTest::addColumn<bool>("startFails"); // otherwise the copy to the card fails
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("started");
        QTest::newRow("start") << true << "The encoder engine could not start: no worker" << 0;
        QTest::newRow("copy to the card")
                << false << "Cannot copy C:\\Out\\a.wmv to E:\\a.wmv" << 1;
    }

    // One box with the description, then the window is reset and the other files are left; a
    // failed copy leaves no part on the card.
    void errorEndsTheBatch()
    {
        QFETCH(bool, startFails);
        QFETCH(QString, message);
        BatchWindow w;
        const QString card = w.insertCard();
        w.listAndSelect({"a.mpg", "b.mpg"});
        if (startFails)
            w.backend->failStartWith(message);
        else // a folder under the output's name: no file of that name is there, yet the copy fails
            w.machine.makeFolder("E:\\a.wmv");
        w.finishEachJob();
        w.form->cmdStart->click();

        QCOMPARE(w.dialogs.texts().size(), 1);
        QVERIFY2(w.dialogs.texts().first().startsWith(message),
                 qPrintable(w.dialogs.texts().first()));
        QTEST(int(w.backend->started().size()), "started");
        QCOMPARE(w.backend->durationReads().size(), 1);
        QCOMPARE(w.form->File1->Path(), "C:\\Program Files\\Clipferry");
        QCOMPARE(w.lockedControls(), "1111");
        QCOMPARE(QDir(card).entryList(QDir::Files | QDir::Hidden), QStringList());
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
