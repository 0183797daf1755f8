// Batches through the real engine, driven as a user drives the window: files picked with
// Ctrl-clicks, the card chosen through the copy box, the encode, stop and pass options
// clicked with the mouse. Clips are generated once and kept short.

#include "app/text_box.h"
#include "clip_generator.h"
#include "engine_window.h"
#include "sources/file_list_box.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString inputFolder = QStringLiteral("C:\\Clips");
const QString outputFolder = QStringLiteral("D:\\Encoded");

// What every output of the "Kestrel Medium" profile must be.
void checkOutput(const QString &nativePath, qint64 inputMs)
{
    const MediaFacts facts = inspectMedia(nativePath);
    QCOMPARE(facts.videoCodec, QStringLiteral("wmv2"));
    QCOMPARE(facts.audioCodec, QStringLiteral("wmav2"));
    QCOMPARE(QSize(facts.width, facts.height), QSize(320, 240));
    QCOMPARE(facts.sampleRate, 44100);
    QCOMPARE(facts.channels, 2);
    QVERIFY(facts.decodedFrames > 0);
    QVERIFY2(std::abs(facts.durationMs - inputMs) <= 250,
             qPrintable(QStringLiteral("%1 ms for an input of %2 ms")
                                .arg(facts.durationMs)
                                .arg(inputMs)));
}

QByteArray contentOf(const QString &nativePath)
{
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QRegularExpression encodingLine(
        QStringLiteral("^Status: encoding, (\\d+) % complete, time left: \\d\\d:\\d\\d:\\d\\d$"));

// The status lines of one file: initializing, then one or more encoding lines whose share
// never goes back.
void checkStatusLinesOf(const BatchLog &log, int file)
{
    QStringList lines;
    for (const BatchMoment &moment : log.ofFile(file)) {
        if (lines.isEmpty() || lines.last() != moment.status)
            lines.append(moment.status);
    }
    QVERIFY2(lines.size() >= 2, qPrintable(lines.join(QLatin1Char('|'))));
    QCOMPARE(lines.first(), QStringLiteral("Status: initializing encoder"));
    int share = 0;
    for (const QString &line : lines.mid(1)) {
        const QRegularExpressionMatch match = encodingLine.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        QVERIFY2(match.captured(1).toInt() >= share, qPrintable(lines.join(QLatin1Char('|'))));
        share = match.captured(1).toInt();
    }
}

} // namespace

class TestBatchE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void twoFilesToTheCard();
    void stopDuringTheFirstOfTwo();
    void passOptionReachesTheEngine_data();
    void passOptionReachesTheEngine();

private:
    QTemporaryDir m_clips;
    QString m_mpg;  // 3 s NTSC program stream
    QString m_dat;  // 3 s PAL Video CD track
    QString m_long; // 60 s, to be stopped part-way
};

void TestBatchE2e::initTestCase()
{
    m_mpg = m_clips.filePath(QStringLiteral("holiday.mpg"));
    makeClip(m_mpg, {});
    ClipOptions vcd;
    vcd.pal = true;
    vcd.vcdDat = true;
    vcd.leadInSectors = 8;
    m_dat = m_clips.filePath(QStringLiteral("AVSEQ01.DAT"));
    makeClip(m_dat, vcd);
    ClipOptions longer;
    longer.seconds = 60;
    m_long = m_clips.filePath(QStringLiteral("concert.mpg"));
    makeClip(m_long, longer);
}

void TestBatchE2e::twoFilesToTheCard()
{
    EngineWindow w;
    w.putFiles(inputFolder, {m_mpg, m_dat});
    w.machine.writeFile(inputFolder + QStringLiteral("\\notes.txt"), "not a clip");
    const QString out = w.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed, "DATA");
    w.machine.makeFolder(outputFolder);
    w.chooseFolders(inputFolder, outputFolder);
    w.ctrlClickEntries({QStringLiteral("AVSEQ01.DAT"), QStringLiteral("holiday.mpg")});
    QCOMPARE(w.form->Text3->text(), QStringLiteral("AVSEQ01.DAT\r\nholiday.mpg"));
    const QString card = w.insertAndChooseCard();
    QCOMPARE(w.form->StorageDrive, QStringLiteral("E"));
    QVERIFY(w.form->chkCopytoStorage->isChecked());
    w.dialogs.clear();

    BatchLog log(*w.form);
    EngineWindow::click(w.form->cmdStart);

    const QString encoded = out + QStringLiteral("/Encoded");
    QCOMPARE(EngineWindow::entriesOf(encoded),
             (QStringList{QStringLiteral("AVSEQ01.wmv"), QStringLiteral("holiday.wmv")}));
    checkOutput(encoded + QStringLiteral("/AVSEQ01.wmv"), 3000);
    checkOutput(encoded + QStringLiteral("/holiday.wmv"), 3000);
    QCOMPARE(EngineWindow::entriesOf(card),
             (QStringList{QStringLiteral("AVSEQ01.wmv"), QStringLiteral("holiday.wmv")}));
    for (const char *name : {"/AVSEQ01.wmv", "/holiday.wmv"})
        QCOMPARE(contentOf(card + QLatin1String(name)), contentOf(encoded + QLatin1String(name)));

    // Each file: initializing, encoding with a growing share; "ready" in between and after.
    checkStatusLinesOf(log, 1);
    checkStatusLinesOf(log, 2);
    const QList<BatchMoment> second = log.ofFile(2);
    QCOMPARE(second.first().idleStatus, QStringLiteral("Status: ready"));
    QCOMPARE(second.first().size, QString());
    QVERIFY(w.form->Label5->isHidden());
    QCOMPARE(w.form->Label6->text(), QStringLiteral("Status: ready"));
    QCOMPARE(w.form->Label1->text(), QString());
    QCOMPARE(w.dialogs.texts(), QStringList());
    QVERIFY(w.form->cmdStart->isEnabled());
}

void TestBatchE2e::stopDuringTheFirstOfTwo()
{
    EngineWindow w;
    w.putFiles(inputFolder, {m_long, m_mpg});
    w.machine.makeFolder(QStringLiteral("C:\\Encoded"));
    w.chooseFolders(inputFolder, QStringLiteral("C:\\Encoded"));
    w.ctrlClickEntries({QStringLiteral("concert.mpg"), QStringLiteral("holiday.mpg")});
    const QString card = w.insertAndChooseCard();

    // Stopped as a user would: once the display shows a second or more written.
    BatchLog log(*w.form);
    bool stopped = false;
    log.onMoment = [&](const BatchMoment &moment) {
        if (moment.kind == BatchMoment::Tick && moment.file == 1 && !stopped
            && moment.duration != QStringLiteral("Duration: 0 s")) {
            stopped = true;
            EngineWindow::click(w.form->cmdStop);
        }
    };
    EngineWindow::click(w.form->cmdStart);

    QVERIFY(stopped);
    const QString encoded = w.machine.native(QStringLiteral("C:\\Encoded"));
    QCOMPARE(EngineWindow::entriesOf(encoded),
             (QStringList{QStringLiteral("concert.wmv"), QStringLiteral("holiday.wmv")}));
    const MediaFacts partial = inspectMedia(encoded + QStringLiteral("/concert.wmv"));
    QVERIFY(partial.decodedFrames > 0);
    QVERIFY2(partial.durationMs < 45000, qPrintable(QString::number(partial.durationMs)));
    checkOutput(encoded + QStringLiteral("/holiday.wmv"), 3000);
    // A stopped file counts as finished: it goes to the card like the other.
    QCOMPARE(EngineWindow::entriesOf(card),
             (QStringList{QStringLiteral("concert.wmv"), QStringLiteral("holiday.wmv")}));
    checkStatusLinesOf(log, 2);
    // The card's question is the only box: the stopped file is no failure.
    QCOMPARE(w.dialogs.texts().size(), 1);
    QVERIFY(w.dialogs.texts().first().startsWith(QStringLiteral("Drive: E\r\n")));
}

void TestBatchE2e::passOptionReachesTheEngine_data()
{
    QTest::addColumn<bool>("onePassFirst"); // optOnePass clicked before the batch
    QTest::newRow("two passes, then one") << false;
    QTest::newRow("one pass, then two") << true;
}

// The option is read afresh for each file: one clicked while the first file encodes
// applies from the second file on.
void TestBatchE2e::passOptionReachesTheEngine()
{
    QFETCH(bool, onePassFirst);
    EngineWindow w;
    w.putFiles(inputFolder, {m_mpg, m_dat});
    w.chooseFolders(inputFolder, inputFolder);
    w.ctrlClickEntries({QStringLiteral("AVSEQ01.DAT"), QStringLiteral("holiday.mpg")});
    if (onePassFirst)
        EngineWindow::click(w.form->optOnePass);

    BatchLog log(*w.form);
    log.onMoment = [&](const BatchMoment &moment) {
        if (moment.kind == BatchMoment::State && moment.state == EncoderRunning && moment.file == 1)
            EngineWindow::click(onePassFirst ? w.form->optTwoPass : w.form->optOnePass);
    };
    EngineWindow::click(w.form->cmdStart);

    const QList<int> passes{onePassFirst ? 1 : 2, onePassFirst ? 2 : 1};
    for (int file = 1; file <= 2; ++file) {
        const int expected = passes[file - 1];
        QCOMPARE(log.lastStatisticsOf(file).pass, expected);
        for (const BatchMoment &moment : log.ofFile(file)) {
            const EncoderStatistics &s = moment.statistics;
            QVERIFY(s.pass <= expected);
            // Pass one of two only analyses: nothing is written yet, and the size says so.
            if (expected == 2 && s.pass == 1) {
                QCOMPARE(s.archiveBytes, qint64(0));
                if (moment.kind == BatchMoment::Tick)
                    QCOMPARE(moment.size, QStringLiteral("Size: 0 Kb"));
            }
        }
    }
    checkOutput(w.machine.native(inputFolder + QStringLiteral("\\AVSEQ01.wmv")), 3000);
    checkOutput(w.machine.native(inputFolder + QStringLiteral("\\holiday.wmv")), 3000);
    QCOMPARE(w.dialogs.texts(), QStringList());
}

QTEST_MAIN(TestBatchE2e)
#include "test_batch_e2e.moc"
