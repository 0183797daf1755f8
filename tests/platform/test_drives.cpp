// The machine's drives: letters, both type codings, readiness, sizes and labels.
#include "common/error.h"
#include "platform/file_system.h"
#include "platform/kernel32.h"
#include "temp_machine.h"

#include <QtTest>

class TestDrives : public QObject
{
    Q_OBJECT
private slots:
    void typesInBothCodings_data();
    void typesInBothCodings();
    void lettersStayWhileVolumesComeAndGo();
    void missingDrivesAndBadNames();
    void readinessAndSizes();
    void systemVolumesHaveCAndZ();
};

void TestDrives::typesInBothCodings_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("kernelCode");
    QTest::addColumn<int>("fileSystemCode");
    QTest::newRow("unknown") << int(DriveKind::Unknown) << 0 << 0;
    QTest::newRow("removable") << int(DriveKind::Removable) << 2 << 1;
    QTest::newRow("fixed") << int(DriveKind::Fixed) << 3 << 2;
    QTest::newRow("remote") << int(DriveKind::Remote) << 4 << 3;
    QTest::newRow("cd-rom") << int(DriveKind::CdRom) << 5 << 4;
    QTest::newRow("ram disk") << int(DriveKind::RamDisk) << 6 << 5;
}

void TestDrives::typesInBothCodings()
{
    QFETCH(int, kind);
    QFETCH(int, kernelCode);
    QFETCH(int, fileSystemCode);
    TempMachine machine;
    machine.addDrive(QLatin1Char('G'), static_cast<DriveKind>(kind));
    QCOMPARE(int(GetDriveTypeA(QStringLiteral("G:\\"))), kernelCode);
    QCOMPARE(int(GetDriveTypeA(QStringLiteral("g:\\"))), kernelCode);
    FileSystemObject fs(machine.machine());
    QCOMPARE(fs.GetDrive(QStringLiteral("G:")).DriveType(), fileSystemCode);
    QCOMPARE(fs.GetDrive(fs.GetDriveName(QStringLiteral("G:\\"))).DriveType(), fileSystemCode);
}

void TestDrives::lettersStayWhileVolumesComeAndGo()
{
    TempMachine machine;
    auto volume = [](const QString &id) {
        VolumeDescription v;
        v.id = id;
        v.nativeRoot = QDir::tempPath();
        v.kind = DriveKind::Removable;
        return v;
    };
    DriveTable &table = machine.machine().drives();
    machine.setVolume(volume(QStringLiteral("card-1")));
    machine.setVolume(volume(QStringLiteral("card-2")));
    const auto letterOf = [&](const QString &id) {
        for (const Drive &d : table.drives()) {
            if (d.volume.id == id)
                return d.letter;
        }
        return QChar();
    };
    QCOMPARE(letterOf(QStringLiteral("card-1")), QLatin1Char('D'));
    QCOMPARE(letterOf(QStringLiteral("card-2")), QLatin1Char('E'));

    // The first card goes; the second keeps E:, and a new one takes the freed D:.
    machine.removeVolume(QStringLiteral("card-1"));
    QCOMPARE(letterOf(QStringLiteral("card-2")), QLatin1Char('E'));
    machine.setVolume(volume(QStringLiteral("card-3")));
    QCOMPARE(letterOf(QStringLiteral("card-3")), QLatin1Char('D'));
    QCOMPARE(letterOf(QStringLiteral("card-2")), QLatin1Char('E'));
    QCOMPARE(letterOf(QStringLiteral("drive-C")), QLatin1Char('C'));
}

void TestDrives::missingDrivesAndBadNames()
{
    TempMachine machine;
    FileSystemObject fs(machine.machine());
    QCOMPARE(int(GetDriveTypeA(QStringLiteral("Q:\\"))), 1);
    QCOMPARE(int(GetDriveTypeA(QStringLiteral("Q:"))), 1);
    QCOMPARE(int(GetDriveTypeA(QString())), 1);
    QVERIFY(!fs.DriveExists(QStringLiteral("Q:\\")));
    QVERIFY(fs.DriveExists(QStringLiteral("C:\\")));
    QVERIFY(fs.DriveExists(QStringLiteral("c")));

    QCOMPARE(fs.GetDriveName(QStringLiteral("E:\\Videos\\a.mpg")), QStringLiteral("E:"));
    QCOMPARE(fs.GetDriveName(QStringLiteral(":\\")), QString());
    QCOMPARE(fs.GetDriveName(QString()), QString());
    try {
        fs.GetDrive(QStringLiteral("Q:"));
        QFAIL("a letter without a drive must fail");
    } catch (const Error &e) {
        QCOMPARE(e.description(), QStringLiteral("There is no drive Q: on this computer."));
    }
    QVERIFY_THROWS_EXCEPTION(Error, fs.GetDrive(QString()));
    QVERIFY_THROWS_EXCEPTION(Error, fs.GetDrive(QStringLiteral("C:\\Windows")));
}

void TestDrives::readinessAndSizes()
{
    TempMachine machine;
    machine.addEmptySlot(QLatin1Char('F'));
    const QString card
            = machine.addDrive(QLatin1Char('E'), DriveKind::Removable, QStringLiteral("CARD"));
    VolumeDescription big{QStringLiteral("drive-E"),
                          card,
                          DriveKind::Removable,
                          QStringLiteral("CARD"),
                          true,
                          QLatin1Char('E'),
                          qint64(6) << 32,
                          qint64(128) << 20};
    machine.setVolume(big);
    FileSystemObject fs(machine.machine());

    const DriveObject e = fs.GetDrive(QStringLiteral("E:\\"));
    QVERIFY(e.IsReady());
    QCOMPARE(e.VolumeName(), QStringLiteral("CARD"));
    QCOMPARE(e.TotalSize(), qint64(6) << 32); // beyond 32 bits
    QCOMPARE(e.FreeSpace(), qint64(128) << 20);

    const DriveObject f = fs.GetDrive(QStringLiteral("F:"));
    QVERIFY(!f.IsReady());
    QCOMPARE(f.DriveType(), 1);
    QVERIFY_THROWS_EXCEPTION(Error, f.VolumeName());
    QVERIFY_THROWS_EXCEPTION(Error, f.TotalSize());

    // Sizes not given are read from the file system.
    const DriveObject c = fs.GetDrive(QStringLiteral("C"));
    QVERIFY(c.TotalSize() > 0);
    QVERIFY(c.FreeSpace() >= 0 && c.FreeSpace() <= c.TotalSize());
}

void TestDrives::systemVolumesHaveCAndZ()
{
    QTemporaryDir root;
    DriveTable table(std::make_unique<SystemVolumes>(root.path()));
    const QList<Drive> drives = table.drives();
    QVERIFY(drives.size() >= 2);
    QCOMPARE(drives.first().letter, QLatin1Char('C'));
    QCOMPARE(drives.first().volume.nativeRoot, root.path());
    QCOMPARE(drives.last().letter, QLatin1Char('Z'));
    QCOMPARE(drives.last().volume.nativeRoot, QStringLiteral("/"));
    for (const Drive &d : drives)
        QVERIFY2(d.letter >= QLatin1Char('C') && d.letter <= QLatin1Char('Z'),
                 qPrintable(QString(d.letter)));
}

QTEST_GUILESS_MAIN(TestDrives)
#include "test_drives.moc"
