// Batches through the real engine, driven as a user drives the window: files picked with
// Ctrl-clicks, the card chosen through the copy box, the encode, stop and pass options
// clicked with the mouse. Clips are generated once and kept short.

#include "../platform/checks.h"
#include "clip_generator.h"
#include "engine_window.h"
#include "sources/file_list_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString InputFolder = "C:\\Clips";

// What every output of the "Kestrel Medium" profile must be: playable and as long as its input.
void checkOutput(const QString &nativePath, qint64 inputMs)
{
    const MediaFacts facts = inspectMedia(nativePath);
    QCOMPARE(facts.videoCodec + ' ' + facts.audioCodec, "wmv2 wmav2");
    QCOMPARE(QSize(facts.width, facts.height), QSize(320, 240));
    QVERIFY2(facts.decodedFrames > 0 && std::abs(facts.durationMs - inputMs) <= 250,
             qPrintable(QString::number(facts.durationMs)));
}

// What the window showed at a state change or a Timer1 tick, right after its own handler.
struct Moment
{
    bool tick = false;
    qint32 state = 0;
    int file = 0; // 1 for the first file of the batch, counted by the starting states
    EncoderStatistics statistics;
    QString size;
    QString status;     // the status line in view: Label5 when shown, otherwise Label6
    QString idleStatus; // Label6, shown or not
};

class BatchLog : public QObject
{
public:
    explicit BatchLog(Form1 &form)
    {
        // Connected after the window's own handlers, so each moment shows what they left.
        connect(form.Encoder.get(), &MediaEncoder::stateChanged, this, [this, &form](qint32 s) {
            record(form, false, s);
        });
        connect(form.Timer1, &QTimer::timeout, this, [this, &form] { record(form, true, 0); });
    }

    QList<Moment> moments;
    std::function<void(const Moment &)> onMoment; // a test acts on the window from here

    QList<Moment> ofFile(int file) const
    {
        QList<Moment> result;
        std::copy_if(moments.begin(), moments.end(), std::back_inserter(result), [&](auto &m) {
            return m.file == file;
        });
        return result;
    }

private:
    void record(Form1 &f, bool tick, qint32 state)
    {
        m_file += state == EncoderStarting ? 1 : 0;
        moments.append({tick,
                        state,
                        m_file,
                        f.Encoder->statistics(),
                        f.Label1->text(),
                        (f.Label5->isHidden() ? f.Label6 : f.Label5)->text(),
                        f.Label6->text()});
        if (onMoment)
            onMoment(moments.last());
    }
    int m_file = 0;
};

// The status lines of one file: initializing, then encoding lines whose share never goes
// back. The passes it ran: pass one of two only analyses, writes nothing and says so.
void checkFile(const BatchLog &log, int file, int passes)
{
    static const QRegularExpression encoding(
            "^Status: encoding, (\\d+) % complete, time left: \\d\\d:\\d\\d:\\d\\d$");
    QStringList lines;
    for (const Moment &moment : log.ofFile(file)) {
        if (lines.isEmpty() || lines.last() != moment.status)
            lines.append(moment.status);
        QVERIFY(moment.statistics.pass <= passes);
        if (passes == 2 && moment.statistics.pass == 1)
            QVERIFY(moment.statistics.archiveBytes == 0
                    && (!moment.tick || moment.size == "Size: 0 Kb"));
        if (moment.state == EncoderStopped)
            QCOMPARE(moment.statistics.pass, passes);
    }
    QVERIFY2(lines.size() >= 2, qPrintable(lines.join('|')));
    QCOMPARE(lines.first(), "Status: initializing encoder");
    int share = 0;
    for (const QString &line : lines.mid(1)) {
        const QRegularExpressionMatch match = encoding.match(line);
        QVERIFY2(match.hasMatch() && match.captured(1).toInt() >= share,
                 qPrintable(lines.join('|')));
        share = match.captured(1).toInt();
    }
}

} // namespace

class TestBatchE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        makeClip(m_mpg, {});
        makeClip(m_dat, {.pal = true, .vcdDat = true, .leadInSectors = 8});
        makeClip(m_long, {.seconds = 60});
    }

    // Two clips in two passes each (the setting at start-up) into a folder of another drive,
    // each result copied to the card chosen through the copy box; "ready" between and after.
    void twoFilesToTheCard()
    {
        EngineWindow w;
        w.putFiles(InputFolder, {m_mpg, m_dat});
        w.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed, "DATA");
        const QString encoded = w.machine.makeFolder("D:\\Encoded");
        w.chooseFolders(InputFolder, "D:\\Encoded");
        w.ctrlClickEntries({"AVSEQ01.DAT", "holiday.mpg"});
        const QString card
                = w.machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "POCKETCARD");
        w.dialogs.answerYes();
        EngineWindow::click(w.form->chkCopytoStorage);
        w.dialogs.clear();

        BatchLog log(*w.form);
        EngineWindow::click(w.form->cmdStart);

        const QStringList outputs{"AVSEQ01.wmv", "holiday.wmv"};
        QCOMPARE(entriesOf(encoded), outputs);
        QCOMPARE(entriesOf(card), outputs);
        for (const QString &name : outputs) {
            checkOutput(encoded + '/' + name, 3000);
            QCOMPARE(contentOf(card + '/' + name), contentOf(encoded + '/' + name));
        }
        checkFile(log, 1, 2);
        checkFile(log, 2, 2);
        QCOMPARE(log.ofFile(2).first().idleStatus, "Status: ready");
        QCOMPARE(w.form->Label6->text(), "Status: ready");
        QCOMPARE(w.dialogs.texts(), QStringList());
    }

    // Stopped as a user would, once the display shows a second or more written: the first file
    // keeps a shorter playable part, and the batch goes on with the next. One pass, clicked
    // while the first file encodes, applies from the second file on.
    void stopThenOnePass()
    {
        EngineWindow w;
        w.putFiles(InputFolder, {m_long, m_mpg});
        w.chooseFolders(InputFolder, InputFolder);
        w.ctrlClickEntries({"concert.mpg", "holiday.mpg"});

        BatchLog log(*w.form);
        bool stopped = false;
        log.onMoment = [&](const Moment &moment) {
            if (moment.state == EncoderRunning && moment.file == 1)
                EngineWindow::click(w.form->optOnePass);
            if (moment.tick && moment.file == 1 && !stopped
                && moment.statistics.archiveMs >= 1000) {
                stopped = true;
                EngineWindow::click(w.form->cmdStop);
            }
        };
        EngineWindow::click(w.form->cmdStart);

        QVERIFY(stopped);
        const QString clips = w.machine.native(InputFolder);
        const MediaFacts partial = inspectMedia(clips + "/concert.wmv");
        QVERIFY2(partial.decodedFrames > 0 && partial.durationMs < 45000,
                 qPrintable(QString::number(partial.durationMs)));
        checkOutput(clips + "/holiday.wmv", 3000);
        checkFile(log, 1, 2);
        checkFile(log, 2, 1);
        QCOMPARE(w.dialogs.texts(), QStringList());
    }

private:
    QTemporaryDir m_clips;
    QString m_mpg = m_clips.filePath("holiday.mpg");  // 3 s NTSC program stream
    QString m_dat = m_clips.filePath("AVSEQ01.DAT");  // 3 s PAL Video CD track
    QString m_long = m_clips.filePath("concert.mpg"); // 60 s, to be stopped part-way
};

QTEST_MAIN(TestBatchE2e)
#include "test_batch_e2e.moc"
