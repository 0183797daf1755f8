// The machine's drives: letters, both type codings, readiness, sizes and labels.
#include "checks.h"
#include "platform/file_system.h"
#include "platform/kernel32.h"
#include "temp_machine.h"

#include <QtTest>

class TestDrives : public QObject
{
    Q_OBJECT
private slots:
    // Each kind of drive (Unknown, Removable, Fixed, Remote, CdRom, RamDisk) in the kernel's
    // coding and in the file-system object's.
    void typesInBothCodings()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        const int kernel[] = {0, 2, 3, 4, 5, 6};
        for (int kind = 0; kind < 6; ++kind) {
            machine.addDrive(QLatin1Char('G'), static_cast<DriveKind>(kind));
            QCOMPARE(int(GetDriveTypeA("g:\\")), kernel[kind]);
            QCOMPARE(fs.GetDrive("G:").DriveType(), kind);
        }
    }

    void lettersStayWhileVolumesComeAndGo()
    {
        TempMachine machine;
        const auto insert = [&](const char *id) {
            machine.setVolume({id, QDir::tempPath(), DriveKind::Removable, {}, true, {}, {}, {}});
        };
        const auto letters = [&] {
            QStringList shown;
            for (const Drive &d : machine.machine().drives().drives())
                shown << d.letter + QStringLiteral(":") + d.volume.id;
            return shown.join(QLatin1Char(' '));
        };
        insert("card-1");
        insert("card-2");
        QCOMPARE(letters(), "C:drive-C D:card-1 E:card-2");
        // The first card goes; the second keeps E:, and a new one takes the freed D:.
        machine.removeVolume("card-1");
        QCOMPARE(letters(), "C:drive-C E:card-2");
        insert("card-3");
        QCOMPARE(letters(), "C:drive-C D:card-3 E:card-2");
    }

    void missingDrivesAndBadNames()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        for (const char *root : {"Q:\\", "C:", ""}) // no such drive, or not a root's name
            QCOMPARE(int(GetDriveTypeA(QLatin1String(root))), 1);
        QVERIFY(!fs.DriveExists("Q:\\") && fs.DriveExists("C:\\") && fs.DriveExists("c"));
        QCOMPARE(fs.GetDriveName("E:\\Videos\\a.mpg"), "E:");
        QCOMPARE(fs.GetDriveName(":\\"), QString());
        QCOMPARE(failureOf([&] { fs.GetDrive("Q:"); }), "There is no drive Q: on this computer.");
        QVERIFY_THROWS_EXCEPTION(Error, fs.GetDrive("C:\\Windows"));
    }

    void readinessAndSizes()
    {
        TempMachine machine;
        machine.addEmptySlot(QLatin1Char('F'));
        const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
        // Sizes beyond 32 bits.
        machine.setVolume(
                {"drive-E", card, DriveKind::Removable, "CARD", true, 'E', 6LL << 32, 1LL << 27});
        FileSystemObject fs(machine.machine());

        const DriveObject e = fs.GetDrive("E:\\");
        QVERIFY(e.IsReady());
        QCOMPARE(e.VolumeName(), "CARD");
        QCOMPARE(e.TotalSize(), 6LL << 32);
        QCOMPARE(e.FreeSpace(), 1LL << 27);

        // An empty slot is a removable drive that is not ready.
        const DriveObject f = fs.GetDrive("F:");
        QVERIFY(!f.IsReady());
        QCOMPARE(f.DriveType(), 1);
        QVERIFY_THROWS_EXCEPTION(Error, f.VolumeName());

        // Sizes not given are read from the file system.
        const DriveObject c = fs.GetDrive("C");
        QVERIFY(c.TotalSize() > 0 && c.FreeSpace() >= 0 && c.FreeSpace() <= c.TotalSize());
    }

    // The production table: the program's C: first, "/" as Z: last, all letters in between.
    void systemVolumesHaveCAndZ()
    {
        QTemporaryDir root;
        DriveTable table(std::make_unique<SystemVolumes>(root.path()));
        const QList<Drive> drives = table.drives();
        QCOMPARE(drives.first().letter, QLatin1Char('C'));
        QCOMPARE(drives.first().volume.nativeRoot, root.path());
        QCOMPARE(drives.last().letter, QLatin1Char('Z'));
        QCOMPARE(drives.last().volume.nativeRoot, "/");
    }
};

QTEST_GUILESS_MAIN(TestDrives)
#include "test_drives.moc"
