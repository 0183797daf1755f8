#include "app/text_box.h"
#include "batch_window.h"
#include "sources/file_list_box.h"

#include <QtTest>

// Batches run through the encode button over a scripted encoder: the order of the files,
// the wait for the stopped state, stops and the window's closing during a batch, the files
// that are not converted, and the failures that end a batch.
class TestBatchRun : public QObject
{
    Q_OBJECT
private slots:
    void nothingSelected();
    void twoFilesOneAfterTheOther();
    void failingStartEndsTheBatch();
    void stopDuringTheSecondOfThree();
    void closingTheWindowEndsTheBatch();
    void filesWithoutAnOutputNameAreNamedAtTheEnd();
    void failureInsideTheEngine_data();
    void failureInsideTheEngine();

private:
    static QStringList startedInputs(const BatchWindow &w);
};

QStringList TestBatchRun::startedInputs(const BatchWindow &w)
{
    QStringList inputs;
    for (const EncodeJob &job : w.backend->started())
        inputs.append(job.inputShown);
    return inputs;
}

void TestBatchRun::nothingSelected()
{
    BatchWindow w;
    w.listInput({QStringLiteral("a.mpg"), QStringLiteral("b.mpg")}, {});
    w.form->Label5->hide();
    w.form->cmdStart->click();

    QVERIFY(!w.form->Label5->isHidden());
    QVERIFY(w.backend->started().isEmpty());
    QCOMPARE(w.lockedControls(), QStringLiteral("1111"));
    QCOMPARE(w.form->Label5->text(), QString());
    QCOMPARE(w.dialogs.texts(), QStringList());
}

void TestBatchRun::twoFilesOneAfterTheOther()
{
    BatchWindow w;
    w.listInput({QStringLiteral("a.mpg"), QStringLiteral("b.mpg"), QStringLiteral("c.mpg")},
                {QStringLiteral("a.mpg"), QStringLiteral("b.mpg")});
    QStringList seen;
    w.onState([&](qint32 state, int job) {
        Form1 &f = *w.form;
        if (state == EncoderStarting && job == 1) {
            seen << f.Label5->text() << f.Label7->text() << w.lockedControls();
            w.backend->run();
        } else if (state == EncoderRunning && job == 1) {
            // Running is no stopped state: the batch still waits with one job started.
            seen << QString::number(w.backend->started().size());
            w.backend->setStatistics({20000, 10000, 64000});
            f.Timer1_Timer();
            seen << f.Label5->text();
            w.backend->finish();
        } else if (state == EncoderStarting && job == 2) {
            // Between the files the statistics were cleared and "ready" was shown.
            seen << f.Label6->text() << f.Label1->text() << QString::number(f.ProgressBar1->value())
                 << f.Label7->text();
            w.backend->finish();
        }
    });
    w.form->cmdStart->click();

    QCOMPARE(seen,
             (QStringList{"Status: initializing encoder",
                          "File: a.wmv",
                          "0000",
                          "1",
                          "Status: encoding, 17 % complete, time left: 00:00:50",
                          "Status: ready",
                          "",
                          "0",
                          "File: b.wmv"}));
    QCOMPARE(startedInputs(w), (QStringList{"C:\\Videos\\a.mpg", "C:\\Videos\\b.mpg"}));
    Form1 &f = *w.form;
    QVERIFY(f.Label5->isHidden());
    QVERIFY(!f.Label6->isHidden());
    QCOMPARE(f.Label6->text(), QStringLiteral("Status: ready"));
    QCOMPARE(f.Label7->text(), QString());
    QVERIFY(f.Line1->isHidden() && f.Line2->isHidden());
    QVERIFY(!f.Timer1->isActive());
    // Encode and reset are usable again; the list and the profiles wait for a reset.
    QCOMPARE(w.lockedControls(), QStringLiteral("1100"));
    QCOMPARE(w.dialogs.texts(), QStringList());
}

void TestBatchRun::failingStartEndsTheBatch()
{
    BatchWindow w;
    w.listAndSelect({QStringLiteral("a.mpg"), QStringLiteral("b.mpg")});
    const QString reason = QStringLiteral("The encoder engine could not start: no worker");
    w.backend->failStartWith(reason);
    w.form->cmdStart->click();

    QCOMPARE(w.dialogs.texts(), QStringList{reason});
    QCOMPARE(w.backend->started().size(), 0);
    QCOMPARE(w.backend->durationReads().size(), 1); // the second file was never set up
    Form1 &f = *w.form;
    QCOMPARE(f.File1->Path(), QStringLiteral("C:\\Program Files\\Clipferry"));
    QCOMPARE(f.File2->Path(), QStringLiteral("C:\\Program Files\\Clipferry"));
    QCOMPARE(f.Label1->text(), QString());
    QCOMPARE(f.Label7->text(), QString());
    QCOMPARE(w.lockedControls(), QStringLiteral("1111"));
}

void TestBatchRun::stopDuringTheSecondOfThree()
{
    BatchWindow w;
    const QStringList files{
            QStringLiteral("a.mpg"), QStringLiteral("b.mpg"), QStringLiteral("c.mpg")};
    w.listAndSelect(files);
    w.form->Text3->setText(QStringLiteral("a.mpg\r\nb.mpg\r\nc.mpg"));
    QString whileStopping;
    w.onState([&](qint32 state, int job) {
        if (job != 2) {
            if (state == EncoderStarting)
                w.backend->finish();
        } else if (state == EncoderStarting) {
            w.backend->run();
        } else if (state == EncoderRunning) {
            w.form->cmdStop->click();
        } else if (state == EncoderStopping) {
            // The stop enabled encode and reset while the batch still waits: neither may
            // start a second batch or pull the list away.
            whileStopping = w.lockedControls();
            w.form->cmdStart->click();
            w.form->cmdReset->click();
        }
    });
    w.form->cmdStart->click();

    QCOMPARE(whileStopping, QStringLiteral("1100"));
    QCOMPARE(startedInputs(w),
             (QStringList{"C:\\Videos\\a.mpg", "C:\\Videos\\b.mpg", "C:\\Videos\\c.mpg"}));
    QCOMPARE(w.form->File1->Path(), QStringLiteral("C:\\Videos"));
    QCOMPARE(w.form->Text3->text(), QStringLiteral("a.mpg\r\nb.mpg\r\nc.mpg"));
    QCOMPARE(w.dialogs.texts(), QStringList());
}

void TestBatchRun::closingTheWindowEndsTheBatch()
{
    BatchWindow w;
    const QString card = w.insertCard();
    w.listAndSelect({QStringLiteral("a.mpg"), QStringLiteral("b.mpg")});
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

    // The encode was stopped and finished, and no further file was started.
    QCOMPARE(w.backend->started().size(), 1);
    QVERIFY(!w.backend->isActive());
    QVERIFY(w.form->isHidden());
    QVERIFY(!w.form->FileSys);
    QVERIFY(QFile::exists(w.outputFolder() + QStringLiteral("/a.wmv")));
    QVERIFY(!QFile::exists(card + QStringLiteral("/a.wmv")));
    QCOMPARE(w.dialogs.texts(), QStringList());
}

void TestBatchRun::filesWithoutAnOutputNameAreNamedAtTheEnd()
{
    BatchWindow w;
    const QStringList files{"notes.txt",
                            "a.mpg",
                            "a.mpeg",
                            "clip.mpg",
                            "clip.MPG",
                            "b.Mpg",
                            "Talk.dat",
                            "talk.mpeg"};
    w.listAndSelect(files);
    w.finishEachJob();
    w.form->cmdStart->click();

    // The list is in name order; of two inputs with one output the first one is encoded.
    QCOMPARE(startedInputs(w),
             (QStringList{"C:\\Videos\\a.mpeg", "C:\\Videos\\clip.MPG", "C:\\Videos\\Talk.dat"}));
    QCOMPARE(w.readNative(w.outputFolder() + QStringLiteral("/a.wmv")),
             QByteArray("a.mpeg encoded"));
    QCOMPARE(w.readNative(w.outputFolder() + QStringLiteral("/clip.wmv")),
             QByteArray("clip.MPG encoded"));
    QCOMPARE(w.dialogs.texts(),
             QStringList{"These files were not converted:\r\n"
                         "a.mpg: its output a.wmv is already the output of a.mpeg\r\n"
                         "b.Mpg: not an MPEG or Video CD file\r\n"
                         "clip.mpg: its output clip.wmv is already the output of clip.MPG\r\n"
                         "notes.txt: not an MPEG or Video CD file\r\n"
                         "talk.mpeg: its output talk.wmv is already the output of Talk.dat"});
    // The inputs are untouched.
    QCOMPARE(w.readNative(w.machine.native(QStringLiteral("C:\\Videos\\notes.txt"))),
             QByteArray("notes.txt"));
}

void TestBatchRun::failureInsideTheEngine_data()
{
    QTest::addColumn<QByteArray>("before"); // the output already there; "" = none
    QTest::addColumn<bool>("engineWrites");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("partial output removed") << QByteArray() << true << QByteArray("<missing>");
    QTest::newRow("earlier file left alone") << QByteArray("old") << false << QByteArray("old");
    QTest::newRow("earlier file overwritten, then removed")
            << QByteArray("old") << true << QByteArray("<missing>");
}

void TestBatchRun::failureInsideTheEngine()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, engineWrites);
    QFETCH(QByteArray, after);
    BatchWindow w;
    const QString card = w.insertCard();
    if (!before.isEmpty())
        w.machine.writeFile(QStringLiteral("C:\\Out\\a.wmv"), before);
    w.listAndSelect({QStringLiteral("a.mpg"), QStringLiteral("b.mpg")});
    const QString reason = QStringLiteral("The input C:\\Videos\\a.mpg is damaged: invalid frame");
    w.onState([&](qint32 state, int job) {
        if (state != EncoderStarting)
            return;
        if (job == 2 || engineWrites)
            w.writeOutputOfLastJob();
        w.backend->finish(job == 1 ? reason : QString());
    });
    w.form->cmdStart->click();

    QCOMPARE(w.readNative(w.outputFolder() + QStringLiteral("/a.wmv")), after);
    QVERIFY(!QFile::exists(card + QStringLiteral("/a.wmv")));
    QCOMPARE(w.readNative(card + QStringLiteral("/b.wmv")), QByteArray("b.mpg encoded"));
    QCOMPARE(w.dialogs.texts(),
             QStringList{QStringLiteral("These files were not converted:\r\na.mpg: ") + reason});
}

QTEST_MAIN(TestBatchRun)
#include "test_batch_run.moc"
