#include "app/text_box.h"
#include "batch_window.h"
#include "sources/file_list_box.h"

#include <QtTest>

Q_DECLARE_METATYPE(EncoderStatistics)

// The batch's handlers one at a time: the job set-up, the timer's tick, stop and reset.
class TestBatchHandlers : public QObject
{
    Q_OBJECT
private slots:
    void setupRoundsTheDuration_data();
    void setupRoundsTheDuration();
    void setupHandsTheJobOver_data();
    void setupHandsTheJobOver();
    void setupStopsAtTheFailingStep();
    void tickShowsProgress_data();
    void tickShowsProgress();
    void tickWithZeroDurationUpdatesOnlyTheStatistics();
    void stopWithNoBatchRunning();
    void resetReturnsTheWindowToItsStart();

private:
    static void prepareJob(BatchWindow &w, const QString &inputFolder, const QString &outputFolder);
};

void TestBatchHandlers::prepareJob(BatchWindow &w,
                                   const QString &inputFolder,
                                   const QString &outputFolder)
{
    w.form->File1->setPath(inputFolder);
    w.form->File2->setPath(outputFolder);
    w.values.InputFile = QStringLiteral("a.mpg");
    w.values.OutputFile = QStringLiteral("a.wmv");
}

void TestBatchHandlers::setupRoundsTheDuration_data()
{
    QTest::addColumn<qint64>("milliseconds");
    QTest::addColumn<qint32>("seconds");
    QTest::newRow("1500 ms, half down to even") << qint64(1500) << 2;
    QTest::newRow("2500 ms, half down to even") << qint64(2500) << 2;
    QTest::newRow("3500 ms, half up to even") << qint64(3500) << 4;
    QTest::newRow("1499 ms") << qint64(1499) << 1;
    QTest::newRow("empty input") << qint64(0) << 0;
    QTest::newRow("ten minutes") << qint64(600000) << 600;
}

void TestBatchHandlers::setupRoundsTheDuration()
{
    QFETCH(qint64, milliseconds);
    QFETCH(qint32, seconds);
    BatchWindow w;
    prepareJob(w, QStringLiteral("C:\\Videos"), QStringLiteral("C:\\Out"));
    w.backend->setDurationMs(milliseconds);
    w.form->DurationSec = -1;
    w.form->SetupJob();
    QCOMPARE(w.dialogs.texts(), QStringList());
    QCOMPARE(w.form->DurationSec, seconds);
}

void TestBatchHandlers::setupHandsTheJobOver_data()
{
    QTest::addColumn<QString>("inputFolder");
    QTest::addColumn<QString>("outputFolder");
    QTest::addColumn<qint16>("preprocessPasses");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("passes");
    QTest::newRow("root input, one pass") << "C:\\"
                                          << "C:\\Out" << qint16(0) << "C:\\\\a.mpg"
                                          << "C:\\Out\\a.wmv" << 1;
    QTest::newRow("root output, two passes") << "C:\\Videos"
                                             << "C:\\" << qint16(1) << "C:\\Videos\\a.mpg"
                                             << "C:\\\\a.wmv" << 2;
}

void TestBatchHandlers::setupHandsTheJobOver()
{
    QFETCH(QString, inputFolder);
    QFETCH(QString, outputFolder);
    QFETCH(qint16, preprocessPasses);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(int, passes);
    BatchWindow w;
    prepareJob(w, inputFolder, outputFolder);
    w.form->PreprocessPasses = preprocessPasses;
    w.form->SetupJob();

    QCOMPARE(w.dialogs.texts(), QStringList());
    QCOMPARE(w.form->Label7->text(), QStringLiteral("File: a.wmv"));
    QCOMPARE(w.backend->durationReads().size(), 1);
    const EncodeJob &job = w.backend->durationReads().first();
    QCOMPARE(job.inputShown, input);
    QCOMPARE(job.outputShown, output);
    QCOMPARE(job.passes, passes);
    QCOMPARE(w.form->Encoder->isPrepared(), true);
}

void TestBatchHandlers::setupStopsAtTheFailingStep()
{
    BatchWindow w;
    prepareJob(w, QStringLiteral("C:\\Videos"), QStringLiteral("C:\\Out"));
    w.form->DurationSec = 7;
    const QString reason = QStringLiteral("Cannot open the input C:\\Videos\\a.mpg: Invalid data");
    w.backend->failDurationWith(reason);
    w.form->SetupJob();

    QCOMPARE(w.dialogs.texts(), QStringList{reason});
    // The steps before the failing one took effect; the duration is the last file's.
    QCOMPARE(w.form->Label7->text(), QStringLiteral("File: a.wmv"));
    QCOMPARE(w.form->Encoder->file().localFileName(), QStringLiteral("C:\\Out\\a.wmv"));
    QCOMPARE(w.form->DurationSec, 7);
}

void TestBatchHandlers::tickShowsProgress_data()
{
    QTest::addColumn<EncoderStatistics>("statistics");
    QTest::addColumn<qint32>("durationSec");
    QTest::addColumn<QStringList>("lines"); // Label1, Label2, Label3, Label5
    QTest::addColumn<int>("bar");

    const struct
    {
        const char *name;
        EncoderStatistics statistics; // bytes, milliseconds, bits per second
        qint32 durationSec;
        const char *size, *duration, *bitRate, *status;
        int bar;
    } rows[] = {
            {"a quarter",
             {1500, 45000, 128000},
             180,
             "2",
             "45",
             "128",
             "25 % complete, time left: 00:02:15",
             25},
            {"12.5 % rounds to 12",
             {2500, 1000, 12500},
             8,
             "2",
             "1",
             "12",
             "12 % complete, time left: 00:00:07",
             12},
            {"halves to even",
             {3500, 44500, 13500},
             89,
             "4",
             "44",
             "14",
             "49 % complete, time left: 00:00:45",
             49},
            {"hours left", {0, 0, 0}, 3725, "0", "0", "0", "0 % complete, time left: 01:02:05", 0},
            {"ten hours left",
             {0, 0, 0},
             36000,
             "0",
             "0",
             "0",
             "0 % complete, time left: 10:00:00",
             0},
            {"beyond 16 bits",
             {40000000000, 40000000, 40000000},
             80000,
             "40000000",
             "40000",
             "40000",
             "50 % complete, time left: 11:06:40",
             50},
            {"media outlasts the duration",
             {900000, 190000, 300000},
             180,
             "900",
             "190",
             "300",
             "100 % complete, time left: 00:00:00",
             100},
    };
    for (const auto &row : rows) {
        const QStringList lines{QStringLiteral("Size: %1 Kb").arg(row.size),
                                QStringLiteral("Duration: %1 s").arg(row.duration),
                                QStringLiteral("Current bit rate: %1 Kbps").arg(row.bitRate),
                                QStringLiteral("Status: encoding, ") + row.status};
        QTest::newRow(row.name) << row.statistics << row.durationSec << lines << row.bar;
    }
}

void TestBatchHandlers::tickShowsProgress()
{
    QFETCH(EncoderStatistics, statistics);
    QFETCH(qint32, durationSec);
    QFETCH(QStringList, lines);
    QFETCH(int, bar);
    BatchWindow w;
    w.form->Label6->show();
    w.form->DurationSec = durationSec;
    w.backend->setStatistics(statistics);
    w.form->Timer1_Timer();

    const QStringList shown{w.form->Label1->text(),
                            w.form->Label2->text(),
                            w.form->Label3->text(),
                            w.form->Label5->text()};
    QCOMPARE(shown, lines);
    QCOMPARE(w.form->ProgressBar1->value(), bar);
    QVERIFY(!w.form->Line1->isHidden() && !w.form->Line2->isHidden());
    QVERIFY(!w.form->Label5->isHidden());
    QVERIFY(w.form->Label6->isHidden());
}

void TestBatchHandlers::tickWithZeroDurationUpdatesOnlyTheStatistics()
{
    BatchWindow w;
    w.form->DurationSec = 0;
    w.form->Label5->setText(QStringLiteral("Status: initializing encoder"));
    w.form->ProgressBar1->setValue(40);
    w.backend->setStatistics({5000, 3000, 96000});
    w.form->Timer1_Timer();

    QCOMPARE(w.form->Label1->text(), QStringLiteral("Size: 5 Kb"));
    QCOMPARE(w.form->Label2->text(), QStringLiteral("Duration: 3 s"));
    QCOMPARE(w.form->Label3->text(), QStringLiteral("Current bit rate: 96 Kbps"));
    QCOMPARE(w.form->Label5->text(), QStringLiteral("Status: initializing encoder"));
    QCOMPARE(w.form->ProgressBar1->value(), 40);
    QVERIFY(w.form->Line1->isHidden());
    QCOMPARE(w.dialogs.texts(), QStringList());
}

void TestBatchHandlers::stopWithNoBatchRunning()
{
    BatchWindow w;
    w.form->cmdStart->setEnabled(false);
    w.form->cmdReset->setEnabled(false);
    w.form->Timer1->start();
    w.form->cmdStop->click();

    QCOMPARE(w.dialogs.texts(), QStringList());
    QVERIFY(!w.form->Timer1->isActive());
    QVERIFY(w.form->cmdStart->isEnabled());
    QVERIFY(w.form->cmdReset->isEnabled());
}

void TestBatchHandlers::resetReturnsTheWindowToItsStart()
{
    BatchWindow w;
    w.listInput({QStringLiteral("a.mpg")}, {});
    Form1 &f = *w.form;
    for (QLabel *label : {f.Label1, f.Label2, f.Label3, f.Label5, f.Label6, f.Label7})
        label->setText(QStringLiteral("something"));
    f.Label5->hide();
    f.Label6->show();
    f.Text3->setText(QStringLiteral("a.mpg"));
    f.Text4->setText(QStringLiteral("Input: C:\\Videos"));
    f.Combo1->setEnabled(false);
    f.File1->setEnabled(false);
    f.Line1->show();
    f.Line2->show();
    f.ProgressBar1->setValue(40);
    f.cmdReset->click();

    for (QLabel *label : {f.Label1, f.Label2, f.Label3, f.Label5, f.Label6, f.Label7})
        QCOMPARE(label->text(), QString());
    QVERIFY(!f.Label5->isHidden());
    QVERIFY(f.Label6->isHidden());
    QCOMPARE(f.Text3->text(), QString());
    QCOMPARE(f.Text4->text(), QString());
    QCOMPARE(w.lockedControls(), QStringLiteral("1111"));
    QCOMPARE(f.File1->Path(), QStringLiteral("C:\\Program Files\\Clipferry"));
    QCOMPARE(f.File2->Path(), QStringLiteral("C:\\Program Files\\Clipferry"));
    QVERIFY(f.Line1->isHidden() && f.Line2->isHidden());
    QCOMPARE(f.ProgressBar1->value(), 40);
    QCOMPARE(w.dialogs.texts(), QStringList());
}

QTEST_MAIN(TestBatchHandlers)
#include "test_batch_handlers.moc"
