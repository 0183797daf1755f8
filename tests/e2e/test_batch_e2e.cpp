// Batches through the real engine, driven as a user drives the window: files picked with
// Ctrl-clicks, the card chosen through the copy box, encode clicked.

#include "as_nobody.h"
#include "checks.h"
#include "clip_generator.h"
#include "widgets/file_list_box.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>

#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

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

// What the window showed of one file at its state changes and Timer1 ticks.
struct FileShown
{
    QStringList statuses; // the status line in view (Label5, else Label6), each change once
    int maxPass = 0;
    int passAtEnd = 0;
    bool wroteInPass1 = false; // bytes counted or shown while in pass 1
};

// Records what the window shows right after its own handlers; onMoment acts on the window
// (state 0 for a tick; files count from 1).
class BatchLog : public QObject
{
public:
    explicit BatchLog(Form1 &form)
        : m_form(form)
    {
        connect(form.jobSetup().Encoder.get(),
                &MediaEncoder::stateChanged,
                this,
                &BatchLog::record);
        connect(form.Timer1, &QTimer::timeout, this, [this] { record(0); });
    }
    QList<FileShown> files;
    std::function<void(qint32 state, int file)> onMoment;

private:
    void record(qint32 state)
    {
        if (state == EncoderStarting)
            files.append(FileShown{});
        if (files.isEmpty())
            return;
        FileShown &file = files.last();
        const EncoderStatistics s = m_form.jobSetup().Encoder->statistics();
        const QString status = (m_form.Label5->isHidden() ? m_form.Label6 : m_form.Label5)->text();
        if (file.statuses.isEmpty() || file.statuses.last() != status)
            file.statuses << status;
        file.maxPass = std::max(file.maxPass, s.pass);
        file.passAtEnd = state == EncoderStopped ? s.pass : file.passAtEnd;
        file.wroteInPass1
                |= s.pass == 1
                   && (s.archiveBytes > 0 || (!state && m_form.Label1->text() != "Size: 0 Kb"));
        if (onMoment)
            onMoment(state, static_cast<int>(files.size()));
    }
    Form1 &m_form;
};

// Two passes; initializing, then encoding lines whose share never goes back; pass one writes
// nothing and says so.
void checkFile(const FileShown &file)
{
    static const QRegularExpression encoding(
            "^Status: encoding, (\\d+) % complete, time left: \\d\\d:\\d\\d:\\d\\d$");
    QCOMPARE(file.maxPass, 2);
    QCOMPARE(file.passAtEnd, 2);
    QVERIFY(!file.wroteInPass1);
    const QString lines = file.statuses.join('|');
    QVERIFY2(file.statuses.size() >= 2 && file.statuses.first() == "Status: initializing encoder",
             qPrintable(lines));
    int share = 0;
    for (const QString &line : file.statuses.mid(1)) {
        const QRegularExpressionMatch match = encoding.match(line);
        QVERIFY2(match.hasMatch() && match.captured(1).toInt() >= share, qPrintable(lines));
        share = match.captured(1).toInt();
    }
}

// Each line of the boxes shown, up to its first ": " (a bad file's name).
QStringList lineStarts(const QStringList &boxes)
{
    QStringList starts;
    for (const QString &line : boxes.join("\r\n").split("\r\n"))
        starts << line.section(": ", 0, 0);
    return starts;
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
    }

    void twoFilesToTheCard_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("outputs"); // in D:\Encoded
        QTest::addColumn<QStringList>("card");    // every entry, hidden ones included
        QTest::addColumn<QStringList>("remarks"); // the box's lines after its heading
        const QStringList both{"AVSEQ01.wmv", "holiday.wmv"};
        const QString full = ": not copied to the storage card: cannot write E:\\%1.wmv: No "
                             "space left on device";
        // A file system of 16 KB on the card; neither output fits.
        QTest::newRow("full card") << "full card" << both << QStringList()
                                   << QStringList{"AVSEQ01.DAT" + full.arg("AVSEQ01"),
                                                  "holiday.mpg" + full.arg("holiday")};
        // Pulled while the second file is encoded: its letter is gone when the copy comes.
        QTest::newRow("card pulled")
                << "card pulled" << both << QStringList{"AVSEQ01.wmv"} << QStringList();
        // The output folder becomes the program's (as Cancel in the folder browser makes it)
        // while the first file is encoded: that file's copy is still its own.
        QTest::newRow("output folder changed")
                << "output folder changed" << QStringList{"AVSEQ01.wmv"} << both << QStringList();
    }

    // Two clips in two passes each (the setting at start-up) into a folder of another drive,
    // each result copied to the card; "ready" between and after. Whatever befalls the card,
    // the batch runs to its end, outputs stay where they were written, and what was not
    // copied is named at the end.
    void twoFilesToTheCard()
    {
        QFETCH(QString, fault);
        WindowFixture w;
        w.openOnBuiltEngine();
        QVERIFY(w.form->optTwoPass->isChecked()); // what the window shows is what it does
        w.putFiles(InputFolder, {m_mpg, m_dat});
        w.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed, "DATA");
        const QString encoded = w.machine.makeFolder("D:\\Encoded");
        w.chooseFolders(InputFolder, "D:\\Encoded");
        w.clickEntries({"^AVSEQ01.DAT", "^holiday.mpg"});
        const QString card = w.chooseCard();
        const QByteArray cardRoot = QFile::encodeName(card);
        if (fault == "full card"
            && ::mount("tmpfs", cardRoot.constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP("A small tmpfs cannot be mounted here (needs root and mount rights)");
        const auto unmount = qScopeGuard([&] { ::umount(cardRoot.constData()); });
        BatchLog log(*w.form);
        log.onMoment = [&](qint32 state, int file) {
            if (state == EncoderRunning && file == 2 && fault == "card pulled")
                w.machine.removeVolume("drive-E");
            if (state == EncoderRunning && file == 1 && fault == "output folder changed")
                w.form->File2->setPath("C:\\Program Files\\Clipferry");
        };
        WindowFixture::click(w.form->cmdStart);

        QTEST(entriesOf(encoded), "outputs");
        QTEST(entriesOf(card), "card");
        for (const QString &name : entriesOf(card)) {
            const QString written
                    = QFile::exists(encoded + '/' + name)
                              ? encoded + '/' + name
                              : w.machine.native("C:\\Program Files\\Clipferry\\" + name);
            checkOutput(written, 3000);
            QCOMPARE(contentOf(card + '/' + name), contentOf(written));
        }
        QCOMPARE(log.files.size(), 2);
        checkFile(log.files[0]);
        checkFile(log.files[1]);
        QCOMPARE(w.form->Label6->text(), "Status: ready");
        QFETCH(QStringList, remarks);
        QCOMPARE(w.dialogs.texts(),
                 remarks.isEmpty() ? QStringList()
                                   : QStringList{"These files were converted, with remarks:\r\n"
                                                 + remarks.join("\r\n")});
    }

    // Good files around bad ones (unreadable, vanished after it was selected, become a pipe):
    // the good ones are converted and copied, each bad one is named once at the end. Root reads
    // every file, so as root this runs as the user nobody.
    void goodAndBadFilesInOneBatch()
    {
        if (::geteuid() == 0) {
            const NobodyRun run = runAsNobody(QCoreApplication::applicationFilePath(),
                                              {"goodAndBadFilesInOneBatch"});
            QVERIFY2(run.exitCode == 0, run.errors.right(3000).constData());
            return;
        }
        WindowFixture w;
        w.openOnBuiltEngine();
        w.putFiles(InputFolder, {m_dat, m_mpg});
        const QString clips = w.machine.native(InputFolder);
        for (const QString name : {"gone.mpg", "locked.mpg", "pipe.mpg"})
            QVERIFY(QFile::copy(m_mpg, clips + '/' + name));
        QVERIFY(QFile::setPermissions(clips + "/locked.mpg", QFileDevice::Permissions()));
        const QString out = w.machine.makeFolder("C:\\Out");
        w.chooseFolders(InputFolder, "C:\\Out");
        w.clickEntries(entriesOf(clips).replaceInStrings(QRegularExpression("^"), "^"));
        QVERIFY(QFile::remove(clips + "/gone.mpg") && QFile::remove(clips + "/pipe.mpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(clips + "/pipe.mpg").constData(), 0600), 0);
        const QString card = w.chooseCard();
        WindowFixture::click(w.form->cmdStart);

        QCOMPARE(entriesOf(out), QStringList({"AVSEQ01.wmv", "holiday.wmv"}));
        QCOMPARE(entriesOf(card), QStringList({"AVSEQ01.wmv", "holiday.wmv"}));
        QCOMPARE(
                lineStarts(w.dialogs.texts()),
                QStringList(
                        {"These files were not converted:", "gone.mpg", "locked.mpg", "pipe.mpg"}));
        QCOMPARE(w.form->File1->Path(), InputFolder); // the window was not reset
    }

    // A Latin-1 name from an older disk is listed, converted and its output named with the same
    // bytes before ".wmv"; a name no Windows path can hold is named when its folder is opened.
    void namesFromOlderDisks()
    {
        WindowFixture w;
        w.openOnBuiltEngine();
        const QByteArray clips = QFile::encodeName(w.machine.makeFolder(InputFolder));
        QCOMPARE(::symlink(QFile::encodeName(m_mpg).constData(), clips + "/caf\xe9.mpg"), 0);
        writeFile(clips + "/a\\b.mpg", "x");
        w.form->openFiles({QFile::decodeName(clips)});
        QCOMPARE(w.dialogs.texts(),
                 QStringList{"These files were not opened:\r\n\"a\\b.mpg\" in C:\\Clips: a name "
                             "holding \"\\\" cannot be opened; rename the file to convert it"});
        const QString name = QString("caf") + QChar(0xEFE9) + ".mpg";
        QCOMPARE(listed(*w.form->File1), QStringList{name});
        w.clickEntries({name});
        WindowFixture::click(w.form->cmdStart);

        QCOMPARE(w.dialogs.texts().size(), 1);
        QCOMPARE(::rename(clips + "/caf\xe9.wmv", clips + "/checked.wmv"), 0);
        checkOutput(clips + "/checked.wmv", 3000);
    }

private:
    QTemporaryDir m_clips;
    QString m_mpg = m_clips.filePath("holiday.mpg"); // 3 s NTSC program stream
    QString m_dat = m_clips.filePath("AVSEQ01.DAT"); // 3 s PAL Video CD track
};

QTEST_MAIN(TestBatchE2e)
#include "test_batch_e2e.moc"
