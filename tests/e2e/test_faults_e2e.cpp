// Faults and bad input in batches through the real engine: files the encoder cannot read
// among good ones, and a card that fills up, is pulled, or whose batch changes its output
// folder part-way. Clips are generated once and kept short.

#include "../platform/checks.h"
#include "as_nobody.h"
#include "clip_generator.h"
#include "engine_window.h"
#include "sources/file_list_box.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString InputFolder = "C:\\Clips";
const QString OutputFolder = "D:\\Encoded";

// Runs a step at each state the encoder reports, after the window's own handler; file counts
// the files started so far.
void onState(Form1 &form, std::function<void(qint32 state, int file)> step)
{
    auto file = std::make_shared<int>(0);
    QObject::connect(form.Encoder.get(), &MediaEncoder::stateChanged, &form, [=](qint32 state) {
        *file += state == EncoderStarting ? 1 : 0;
        step(state, *file);
    });
}

// Replaces a listed file by a pipe: a file list would not show it, yet it was selected.
void turnIntoPipe(const QString &nativePath)
{
    QVERIFY(QFile::remove(nativePath));
    QVERIFY(::mkfifo(QFile::encodeName(nativePath).constData(), 0600) == 0);
}

// The first line of each entry of the end-of-batch box under its heading, by input name.
QStringList namesIn(const QString &box)
{
    QStringList names;
    for (const QString &line : box.split("\r\n").mid(1))
        names << line.section(": ", 0, 0);
    return names;
}

// What happens to the card while a batch of two files runs (file 1 AVSEQ01.DAT, file 2
// holiday.mpg); none = the card is full.
using CardFault = std::function<void(EngineWindow &w)>;

} // namespace

Q_DECLARE_METATYPE(CardFault)

class TestFaultsE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        makeClip(m_mpg, {});
        makeClip(m_dat, {.pal = true, .vcdDat = true, .leadInSectors = 8});
    }

    void goodAndBadFilesInOneBatch();
    void unreadableFile();
    void cardFaults_data();
    void cardFaults();

private:
    QTemporaryDir m_clips;
    QString m_mpg = m_clips.filePath("holiday.mpg"); // 3 s NTSC program stream
    QString m_dat = m_clips.filePath("AVSEQ01.DAT"); // 3 s PAL Video CD track
};

// Good files around an empty one, one that is no video, one that vanished after it was
// selected and one that became a pipe: the good ones are converted and copied to the card,
// each bad one is named once in the box at the end, with its name and the reason.
void TestFaultsE2e::goodAndBadFilesInOneBatch()
{
    EngineWindow w;
    w.putFiles(InputFolder, {m_dat, m_mpg});
    const QString clips = w.machine.native(InputFolder);
    writeFile(clips + "/empty.mpg", QByteArray());
    writeFile(clips + "/notes.mpg", QByteArray("These are no pictures.\n").repeated(200));
    QFile::copy(m_mpg, clips + "/gone.mpg");
    QFile::copy(m_mpg, clips + "/pipe.mpg");
    const QString out = w.machine.native("C:\\Out");
    QDir().mkpath(out);
    w.chooseFolders(InputFolder, "C:\\Out");
    const QStringList all{
            "AVSEQ01.DAT", "empty.mpg", "gone.mpg", "holiday.mpg", "notes.mpg", "pipe.mpg"};
    w.ctrlClickEntries(all);
    QVERIFY(QFile::remove(clips + "/gone.mpg"));
    turnIntoPipe(clips + "/pipe.mpg");
    const QString card = w.machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
    w.form->StorageDrive = "E";
    w.form->chkCopytoStorage->setChecked(true);

    EngineWindow::click(w.form->cmdStart);

    QCOMPARE(entriesOf(out), (QStringList{"AVSEQ01.wmv", "holiday.wmv"}));
    QCOMPARE(entriesOf(card), (QStringList{"AVSEQ01.wmv", "holiday.wmv"}));
    QCOMPARE(w.dialogs.texts().size(), 1);
    const QString box = w.dialogs.texts().first();
    QVERIFY2(box.startsWith("These files were not converted:\r\n"), qPrintable(box));
    QCOMPARE(namesIn(box), (QStringList{"empty.mpg", "gone.mpg", "notes.mpg", "pipe.mpg"}));
    QCOMPARE(w.form->File1->Path(), InputFolder); // the window was not reset
}

// A file the user may not read is named like the other bad files; the batch goes on. Root
// reads every file, so as root this case runs in a copy of this test as the user nobody.
void TestFaultsE2e::unreadableFile()
{
    if (::geteuid() == 0) {
        const NobodyRun run
                = runAsNobody(QCoreApplication::applicationFilePath(), {"unreadableFile"});
        QVERIFY2(run.exitCode == 0, run.errors.right(3000).constData());
        return;
    }
    EngineWindow w;
    w.putFiles(InputFolder, {m_mpg});
    const QString clips = w.machine.native(InputFolder);
    QFile::copy(m_mpg, clips + "/locked.mpg");
    QVERIFY(QFile::setPermissions(clips + "/locked.mpg", QFileDevice::Permissions()));
    w.chooseFolders(InputFolder, InputFolder);
    w.ctrlClickEntries({"holiday.mpg", "locked.mpg"});

    EngineWindow::click(w.form->cmdStart);

    QVERIFY(QFile::exists(clips + "/holiday.wmv"));
    QVERIFY(!QFile::exists(clips + "/locked.wmv"));
    QCOMPARE(w.dialogs.texts().size(), 1);
    QCOMPARE(namesIn(w.dialogs.texts().first()), QStringList{"locked.mpg"});
}

void TestFaultsE2e::cardFaults_data()
{
    QTest::addColumn<CardFault>("fault");
    QTest::addColumn<QStringList>("outputs"); // in D:\Encoded
    QTest::addColumn<QStringList>("card");    // every entry, hidden ones included
    QTest::addColumn<QStringList>("remarks"); // the box's lines after its heading
    const QStringList both{"AVSEQ01.wmv", "holiday.wmv"};

    // A file system of 16 KB in the card's folder; neither output fits.
    QTest::newRow("full card") << CardFault() << both << QStringList()
                               << QStringList{"AVSEQ01.DAT: not copied to the storage card: cannot "
                                              "write E:\\AVSEQ01.wmv: No space left on device",
                                              "holiday.mpg: not copied to the storage card: cannot "
                                              "write E:\\holiday.wmv: No space left on device"};
    // Pulled while the second file is encoded: its letter is gone when the copy comes.
    QTest::newRow("card pulled") << CardFault([](EngineWindow &w) {
        onState(*w.form, [&w](qint32 state, int file) {
            if (state == EncoderRunning && file == 2)
                w.machine.removeVolume("drive-E");
        });
    }) << both << QStringList{"AVSEQ01.wmv"}
                                 << QStringList();
    // While the first file is encoded, the output folder becomes the program's folder (as
    // Cancel in the folder browser makes it): the first file's copy is still its own.
    QTest::newRow("output folder changed") << CardFault([](EngineWindow &w) {
        onState(*w.form, [&w](qint32 state, int file) {
            if (state == EncoderRunning && file == 1)
                w.form->File2->setPath("C:\\Program Files\\Clipferry");
        });
    }) << QStringList{"AVSEQ01.wmv"} << both
                                           << QStringList();
}

// The card fills up, is pulled, or the output folder changes during a batch of two: the
// batch always runs to its end and every output stays where the encoder wrote it; what was
// not copied is named at the end.
void TestFaultsE2e::cardFaults()
{
    QFETCH(CardFault, fault);
    EngineWindow w;
    w.putFiles(InputFolder, {m_dat, m_mpg});
    w.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed, "DATA");
    const QString encoded = w.machine.makeFolder(OutputFolder);
    w.chooseFolders(InputFolder, OutputFolder);
    w.ctrlClickEntries({"AVSEQ01.DAT", "holiday.mpg"});
    const QString cardRoot = w.machine.addDrive(QLatin1Char('E'), DriveKind::Removable, "CARD");
    w.form->StorageDrive = "E";
    w.form->chkCopytoStorage->setChecked(true);
    const QByteArray root = QFile::encodeName(cardRoot);
    if (fault)
        fault(w);
    else if (::mount("tmpfs", root.constData(), "tmpfs", 0, "size=16k") != 0)
        QSKIP("A small tmpfs cannot be mounted here (needs root and mount rights)");
    const auto unmount = qScopeGuard([&] {
        if (!fault)
            ::umount(root.constData());
    });

    EngineWindow::click(w.form->cmdStart);

    QTEST(entriesOf(encoded), "outputs");
    QFETCH(QStringList, card);
    QCOMPARE(entriesOf(cardRoot), card);
    for (const QString &name : card) {
        const QString written = QFile::exists(encoded + '/' + name)
                                        ? encoded + '/' + name
                                        : w.machine.native("C:\\Program Files\\Clipferry\\" + name);
        QCOMPARE(contentOf(cardRoot + '/' + name), contentOf(written));
    }
    QFETCH(QStringList, remarks);
    const QStringList box = remarks.isEmpty()
                                    ? QStringList()
                                    : QStringList{"These files were converted, with remarks:\r\n"
                                                  + remarks.join("\r\n")};
    QCOMPARE(w.dialogs.texts(), box);
}

QTEST_MAIN(TestFaultsE2e)
#include "test_faults_e2e.moc"
