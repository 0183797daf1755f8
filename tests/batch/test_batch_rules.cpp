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

    const struct
    {
        const char *input;
        const char *output;
    } rows[] = {
            {"clip.mpg", "clip.wmv"},
            {"CLIP.MPG", "CLIP.wmv"},
            {"avseq01.dat", "avseq01.wmv"},
            {"AVSEQ01.DAT", "AVSEQ01.wmv"},
            {"talk.mpeg", "talk.wmv"},
            {"talk.MPEG", "talk.wmv"},
            {"a.mpg.mpg", "a.wmv.wmv"},  // every occurrence is replaced
            {"x.mpg.mpeg", "x.mpg.wmv"}, // only the last ending counts
            {"a.MPG.mpg", "a.MPG.wmv"},  // only the ending's own case
            {"b.dat.mpg", "b.dat.wmv"},
            {".mpg", ".wmv"},
            {"my clip.mpg", "my clip.wmv"},
            {"clip.Mpg", ""}, // mixed case is no known ending
            {"AVSEQ01.Dat", ""},
            {"notes.txt", ""},
            {"clip.wmv", ""},
            {"mpg", ""},
            {"clip.mpg.txt", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row.input) << QString::fromUtf8(row.input) << QString::fromUtf8(row.output);
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

    const struct
    {
        qint64 seconds;
        const char *text;
    } rows[] = {
            {0, "00:00:00"},
            {59, "00:00:59"},
            {60, "00:01:00"},
            {135, "00:02:15"},
            {3599, "00:59:59"},
            {3725, "01:02:05"},
            {36000, "10:00:00"}, // two-digit hours are not padded further
            {360000, "100:00:00"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.text) << row.seconds << QString::fromUtf8(row.text);
}

void TestBatchRules::timeLeft()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(timeLeftText(seconds), text);
}

QTEST_APPLESS_MAIN(TestBatchRules)
#include "test_batch_rules.moc"
