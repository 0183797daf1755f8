#include "batch/output_name.h"
#include "batch_window.h"
#include "widgets/text_box.h"

#include <QtTest>

Q_DECLARE_METATYPE(EncoderStatistics)

// The batch's handlers one at a time: output names, job set-up, the timer's tick, stop, reset.
class TestBatchHandlers : public QObject
{
    Q_OBJECT
private slots:
    void outputName_data()
    {
        // The batch run covers the plain endings in lower case and .MPG.
        QTest::addColumn<QString>("output"); // of the input that names the row; "" = none
        QTest::newRow("AVSEQ01.DAT") << "AVSEQ01.wmv";
        QTest::newRow("talk.MPEG") << "talk.wmv";
        QTest::newRow("a.mpg.mpg") << "a.wmv.wmv";  // every occurrence is replaced
        QTest::newRow("x.mpg.mpeg") << "x.mpg.wmv"; // only the last ending counts
        QTest::newRow("a.MPG.mpg") << "a.MPG.wmv";  // only the ending's own letter case
        QTest::newRow("clip.mpg.txt") << "";
    }

    void outputName()
    {
        QFETCH(QString, output);
        QCOMPARE(outputNameFor(QString::fromUtf8(QTest::currentDataTag())).value_or(QString()),
                 output);
    }

    void setupJob_data()
    {
        QTest::addColumn<QString>("folders"); // input|output
        QTest::addColumn<qint16>("preprocessPasses");
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<QString>("failure"); // of the duration read; "" = none
        QTest::addColumn<QString>("job");     // input|output|passes as handed to the encoder
        QTest::addColumn<qint32>("seconds");
        // A root keeps its separator (two in a row); halves round to even.
        QTest::newRow("root input") << "C:\\|C:\\Out" << qint16(0) << qint64(1500) << ""
                                    << "C:\\\\a.mpg|C:\\Out\\a.wmv|1" << 2;
        QTest::newRow("root output") << "C:\\Videos|C:\\" << qint16(1) << qint64(2500) << ""
                                     << "C:\\Videos\\a.mpg|C:\\\\a.wmv|2" << 2;
        // The steps before the failing read took effect; the duration stays the last file's.
        QTest::newRow("failing read")
                << "C:\\Videos|C:\\Out" << qint16(1) << qint64(0) << "Cannot open C:\\Videos\\a.mpg"
                << "C:\\Videos\\a.mpg|C:\\Out\\a.wmv|2" << 7;
    }

    void setupJob()
    {
        QFETCH(QString, folders);
        QFETCH(qint16, preprocessPasses);
        QFETCH(qint64, durationMs);
        QFETCH(QString, failure);
        BatchWindow w;
        w.form->File1->setPath(folders.section('|', 0, 0));
        w.form->File2->setPath(folders.section('|', 1));
        w.values.InputFile = "a.mpg";
        w.values.OutputFile = "a.wmv";
        w.form->passesAndHelp().PreprocessPasses = preprocessPasses;
        w.form->jobSetup().DurationSec = 7;
        w.backend->setDurationMs(durationMs);
        if (!failure.isEmpty())
            w.backend->failDurationWith(failure);
        w.form->SetupJob();

        QCOMPARE(w.dialogs.texts(), failure.isEmpty() ? QStringList() : QStringList{failure});
        QCOMPARE(w.form->Label7->text(), "File: a.wmv");
        QCOMPARE(w.form->jobSetup().Encoder->isPrepared(), failure.isEmpty());
        QCOMPARE(w.backend->durationReads().size(), 1);
        const EncodeJob &job = w.backend->durationReads()[0];
        QTEST(QStringList({job.inputShown, job.outputShown, QString::number(job.passes)}).join('|'),
              "job");
        QTEST(w.form->jobSetup().DurationSec, "seconds");
    }

    void tick_data()
    {
        QTest::addColumn<EncoderStatistics>("statistics"); // bytes, milliseconds, bits per second
        QTest::addColumn<qint32>("durationSec");
        // Kb, s, Kbps, per cent, time left; "- -" = the tick ends before the status line.
        QTest::addColumn<QString>("shown");
        QTest::newRow("12.5 % to 12")
                << EncoderStatistics{2500, 1000, 12500} << 8 << "2 1 12 12 00:00:07";
        QTest::newRow("halves to even")
                << EncoderStatistics{3500, 44500, 13500} << 89 << "4 44 14 49 00:00:45";
        QTest::newRow("hours left") << EncoderStatistics{} << 3725 << "0 0 0 0 01:02:05";
        QTest::newRow("beyond 16 bits") << EncoderStatistics{40000000000, 40000000, 40000000}
                                        << 80000 << "40000000 40000 40000 50 11:06:40";
        QTest::newRow("media outlasts the duration")
                << EncoderStatistics{900000, 190000, 300000} << 180 << "900 190 300 100 00:00:00";
        QTest::newRow("no duration") << EncoderStatistics{5000, 3000, 96000} << 0 << "5 3 96 - -";
    }

    void tick()
    {
        QFETCH(EncoderStatistics, statistics);
        QFETCH(qint32, durationSec);
        QFETCH(QString, shown);
        const QStringList v = shown.split(' ');
        const bool status = v[3] != "-";
        BatchWindow w;
        Form1 &f = *w.form;
        f.jobSetup().DurationSec = durationSec;
        f.Label5->setText("Status: initializing encoder");
        f.Label5->hide();
        f.Label6->show();
        f.ProgressBar1->setValue(40);
        w.backend->setStatistics(statistics);
        f.Timer1_Timer();

        QCOMPARE(f.Label1->text() + '|' + f.Label2->text() + '|' + f.Label3->text(),
                 "Size: " + v[0] + " Kb|Duration: " + v[1] + " s|Current bit rate: " + v[2]
                         + " Kbps");
        QCOMPARE(f.Label5->text(),
                 status ? "Status: encoding, " + v[3] + " % complete, time left: " + v[4]
                        : QString("Status: initializing encoder"));
        QCOMPARE(f.ProgressBar1->value(), status ? v[3].toInt() : 40);
        QCOMPARE(!f.Line1->isHidden() && !f.Line2->isHidden() && !f.Label5->isHidden(), status);
        QCOMPARE(f.Label6->isHidden(), status);
        QCOMPARE(w.dialogs.texts(), QStringList());
    }

    // Reset empties the displays, frees list and profiles, and keeps the bar as it was.
    void reset()
    {
        BatchWindow w;
        w.listInput({"a.mpg"}, {});
        Form1 &f = *w.form;
        for (QWidget *control : QList<QWidget *>{f.cmdStart, f.cmdReset, f.Combo1, f.File1})
            control->setEnabled(false);
        const QList<QLabel *> labels{f.Label1, f.Label2, f.Label3, f.Label5, f.Label6, f.Label7};
        for (QLabel *label : labels)
            label->setText("something");
        for (QWidget *shown : QList<QWidget *>{f.Label6, f.Line1, f.Line2})
            shown->show();
        f.Label5->hide();
        f.Text3->setText("a.mpg");
        f.Text4->setText("input: C:\\Videos");
        f.ProgressBar1->setValue(40);
        f.cmdReset_Click();

        for (QLabel *label : labels)
            QCOMPARE(label->text(), QString());
        QVERIFY(!f.Label5->isHidden() && f.Label6->isHidden() && f.Line1->isHidden()
                && f.Line2->isHidden());
        QCOMPARE(f.Text3->text() + f.Text4->text(), QString());
        QCOMPARE(w.lockedControls(), "0011");
        QCOMPARE(f.File1->Path() + '|' + f.File2->Path(),
                 "C:\\Program Files\\Clipferry|C:\\Program Files\\Clipferry");
        QCOMPARE(f.ProgressBar1->value(), 40);
        QCOMPARE(w.dialogs.texts(), QStringList());
    }
};

QTEST_MAIN(TestBatchHandlers)
#include "test_batch_handlers.moc"
