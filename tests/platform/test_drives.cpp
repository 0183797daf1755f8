// The machine's drives: letters, both type codings, readiness, sizes and labels.
#include "checks.h"
#include "platform/file_system.h"
#include "platform/kernel32.h"
#include "platform/mount_table.h"
#include "platform/volume_probe.h"
#include "temp_machine.h"

#include <QtTest>

#include <future>

class TestDrives : public QObject
{
    Q_OBJECT
private slots:
    // Each kind in both codings; missing drives and names that are no drive's.
    void typesAndNames()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        const int kernel[] = {0, 2, 3, 4, 5, 6};
        for (int kind = 0; kind < 6; ++kind) {
            machine.addDrive(QLatin1Char('G'), static_cast<DriveKind>(kind));
            QCOMPARE(int(GetDriveTypeA("g:\\")), kernel[kind]);
            QCOMPARE(fs.GetDrive("G:").DriveType(), kind);
        }
        for (const char *root : {"Q:\\", "C:", ""}) // no such drive, or not a root's name
            QCOMPARE(int(GetDriveTypeA(QLatin1String(root))), 1);
        QVERIFY(!fs.DriveExists("Q:\\") && fs.DriveExists("C:\\") && fs.DriveExists("c"));
        QCOMPARE(fs.GetDriveName("E:\\Videos\\a.mpg"), "E:");
        QCOMPARE(fs.GetDriveName(":\\"), QString());
        QCOMPARE(failureOf([&] { fs.GetDrive("Q:"); }), "There is no drive Q: on this computer.");
        QVERIFY_THROWS_EXCEPTION(Error, fs.GetDrive("C:\\Windows"));
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
        machine.removeVolume("card-1");
        QCOMPARE(letters(), "C:drive-C E:card-2");
        insert("card-3");
        QCOMPARE(letters(), "C:drive-C D:card-3 E:card-2");
    }

    void readinessAndSizes()
    {
        TempMachine machine;
        machine.addEmptySlot(QLatin1Char('F'));
        const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
        machine.setVolume(
                {"drive-E", card, DriveKind::Removable, "CARD", true, 'E', 6LL << 32, 1LL << 27});
        FileSystemObject fs(machine.machine());

        const DriveObject e = fs.GetDrive("E:\\");
        QVERIFY(e.IsReady());
        QCOMPARE(e.VolumeName(), "CARD");
        QCOMPARE(e.TotalSize(), 6LL << 32);
        QCOMPARE(e.FreeSpace(), 1LL << 27);

        const DriveObject f = fs.GetDrive("F:");
        QVERIFY(!f.IsReady());
        QCOMPARE(f.DriveType(), 1);
        QVERIFY_THROWS_EXCEPTION(Error, f.VolumeName());

        // Sizes not given are read; a drive whose folder went away is not ready.
        const DriveObject c = fs.GetDrive("C");
        QVERIFY(c.TotalSize() > 0 && c.FreeSpace() >= 0 && c.FreeSpace() <= c.TotalSize());
        QVERIFY(QDir(card).removeRecursively());
        QVERIFY(!e.IsReady());
        QVERIFY_THROWS_EXCEPTION(Error, e.VolumeName());
    }

    // Not ready when it does not answer in time, and not asked again until it answers.
    void volumeThatDoesNotAnswer()
    {
        std::promise<void> serverBack;
        std::shared_future<void> back = serverBack.get_future().share();
        std::atomic<int> asked = 0;
        const auto hung = [&asked, back] {
            ++asked;
            back.wait();
            return std::optional<VolumeSpace>(VolumeSpace{1, 1});
        };
        const std::chrono::milliseconds limit(20);
        QVERIFY(!askWithin("/mnt/share", limit, hung));
        QVERIFY(!askWithin("/mnt/share", std::chrono::hours(1), hung));
        QTRY_COMPARE(asked.load(), 1); // the helper thread may start late on a busy machine
        const auto answers = [] {
            return std::optional<VolumeSpace>(VolumeSpace{7, 3});
        };
        const auto other = askWithin("/mnt/other", std::chrono::seconds(30), answers);
        QCOMPARE(other.value_or(VolumeSpace{}).totalBytes, 7); // others go on

        serverBack.set_value();
        QTRY_VERIFY(askWithin("/mnt/share", limit, answers).has_value());
        QCOMPARE(asked.load(), 1);
    }

    // Read once per action, again after the event loop ran or when the source tells of a change.
    void volumesReadOncePerAction()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        QCoreApplication::processEvents();
        const int before = machine.volumeReads();
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            fs.DriveExists(QString(QLatin1Char(letter)));
        QCOMPARE(machine.volumeReads() - before, 1);
        machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
        QVERIFY(fs.DriveExists("E"));
        QCOMPARE(machine.volumeReads() - before, 2);
        QCoreApplication::processEvents();
        QVERIFY(fs.DriveExists("E") && fs.DriveExists("C"));
        QCOMPARE(machine.volumeReads() - before, 3);
    }

    void mountTable_data()
    {
        QTest::addColumn<QByteArray>("mountinfo");
        QTest::addColumn<QString>("point"); // empty: nothing mounted
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("type");
        QTest::newRow("card") << QByteArray(
                "36 25 8:17 / /media/ann/CARD rw,nosuid shared:3 - vfat /dev/sdb1 rw\n")
                              << "/media/ann/CARD"
                              << "/dev/sdb1"
                              << "vfat";
        QTest::newRow("no optional fields, network share")
                << QByteArray("40 25 0:50 / /mnt/films rw - nfs4 server:/films rw,vers=4.2")
                << "/mnt/films"
                << "server:/films"
                << "nfs4";
        QTest::newRow("blanks and backslashes in names")
                << QByteArray("37 25 8:18 / /media/ann/My\\040Card\\134x rw - exfat /dev/sdc1 rw")
                << "/media/ann/My Card\\x"
                << "/dev/sdc1"
                << "exfat";
        QTest::newRow("mounted over: the top one counts")
                << QByteArray("38 25 8:1 / /mnt/x rw - ext4 /dev/sda1 rw\n"
                              "39 38 0:60 / /mnt/x rw - tmpfs tmpfs rw\n")
                << "/mnt/x"
                << "tmpfs"
                << "tmpfs";
        QTest::newRow("torn lines left out")
                << QByteArray("41 25 8:1 / /mnt/y rw\n\n42 25 8:1 / /mnt/z - ext4\n") << QString()
                << QString() << QString();
    }

    void mountTable()
    {
        QFETCH(QByteArray, mountinfo);
        QFETCH(QString, point);
        const auto mounts = parseMountInfo(mountinfo);
        QCOMPARE(int(mounts.size()), point.isEmpty() ? 0 : 1);
        if (point.isEmpty())
            return;
        QCOMPARE(mounts[0].mountPoint, point);
        QTEST(mounts[0].device, "device");
        QTEST(mounts[0].type, "type");
    }

    // Labels come from the device manager's links, escapes decoded, by the device they lead to.
    void volumeLabels()
    {
        QTemporaryDir devices;
        QDir folder(devices.path());
        folder.mkdir("by-label");
        for (const char *device : {"sdb1", "sdc1"})
            writeFile(folder.filePath(device), "");
        QFile::link("../sdb1", folder.filePath("by-label/HOLIDAY\\x20CARD"));
        QFile::link("../sdc1", folder.filePath("by-label/F\\xc3\\xaaTE"));
        QFile::link("../gone", folder.filePath("by-label/GONE"));
        const QHash<QString, QString> labels = readVolumeLabels(folder.filePath("by-label"));
        QCOMPARE(labels.size(), 2);
        QCOMPARE(labels.value(folder.filePath("sdb1")), "HOLIDAY CARD");
        QCOMPARE(labels.value(folder.filePath("sdc1")), "F\u00eaTE");
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
