#include "batch/output_name.h"
#include "batch/progress_monitor.h"

#include <QtTest>

// The pure rules of a batch: the output name of an input, the time-left text.
class TestBatchRules : public QObject
{
    Q_OBJECT
private slots:
    void outputName_data();
    void outputName();
    void timeLeft_data();
    void timeLeft();
};

void TestBatchRules::outputName_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output"); // "" = no output name

    QTest::newRow("mpg") << "clip.mpg" << "clip.wmv";
    QTest::newRow("MPG") << "CLIP.MPG" << "CLIP.wmv";
    QTest::newRow("dat") << "avseq01.dat" << "avseq01.wmv";
    QTest::newRow("DAT") << "AVSEQ01.DAT" << "AVSEQ01.wmv";
    QTest::newRow("mpeg") << "talk.mpeg" << "talk.wmv";
    QTest::newRow("MPEG") << "talk.MPEG" << "talk.wmv";
    QTest::newRow("every occurrence") << "a.mpg.mpg" << "a.wmv.wmv";
    QTest::newRow("mpeg after mpg") << "x.mpg.mpeg" << "x.mpg.wmv";
    QTest::newRow("only the found case") << "a.MPG.mpg" << "a.MPG.wmv";
    QTest::newRow("dat inside an mpg name") << "b.dat.mpg" << "b.dat.wmv";
    QTest::newRow("ending alone") << ".mpg" << ".wmv";
    QTest::newRow("blank in the name") << "my clip.mpg" << "my clip.wmv";
    QTest::newRow("mixed case Mpg") << "clip.Mpg" << "";
    QTest::newRow("mixed case Dat") << "AVSEQ01.Dat" << "";
    QTest::newRow("text file") << "notes.txt" << "";
    QTest::newRow("wmv already") << "clip.wmv" << "";
    QTest::newRow("no dot") << "mpg" << "";
    QTest::newRow("ending not last") << "clip.mpg.txt" << "";
}

void TestBatchRules::outputName()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QCOMPARE(outputNameFor(input).value_or(QString()), output);
}

void TestBatchRules::timeLeft_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("nothing left") << qint64(0) << "00:00:00";
    QTest::newRow("2 min 15") << qint64(135) << "00:02:15";
    QTest::newRow("59 s") << qint64(59) << "00:00:59";
    QTest::newRow("one minute") << qint64(60) << "00:01:00";
    QTest::newRow("just under an hour") << qint64(3599) << "00:59:59";
    QTest::newRow("1 h 2 min 5 s") << qint64(3725) << "01:02:05";
    QTest::newRow("ten hours") << qint64(36000) << "10:00:00";
    QTest::newRow("hundred hours") << qint64(360000) << "100:00:00";
}

void TestBatchRules::timeLeft()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(timeLeftText(seconds), text);
}

QTEST_APPLESS_MAIN(TestBatchRules)
#include "test_batch_rules.moc"
