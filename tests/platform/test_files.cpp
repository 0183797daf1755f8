// Paths, file queries, folder listing and the file copy, on real temporary folders.
#include "checks.h"
#include "common/atomic_file.h"
#include "common/error.h"
#include "common/temporary_file.h"
#include "platform/copy_file.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/native_names.h"
#include "platform/win_paths.h"
#include "temp_machine.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void pathTranslation_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("relative"); // to the C: root
        const auto row = [](const char *tag, const char *windows, const char *relative) {
            QTest::newRow(tag) << QString::fromUtf8(windows) << QString::fromUtf8(relative);
        };
        row("root", "C:\\", "");
        row("drive only", "C:", "");
        row("doubled separator", "C:\\\\Windows\\\\a.mpg", "/Windows/a.mpg");
        row("small letter", "c:\\Windows", "/Windows");
        row("no escape above the root", "C:\\..\\..\\Windows", "/Windows");
        // A name as given where it exists, else the one differing only in case, else as given.
        row("letter case forgiven", "C:\\PROGRAM FILES\\clipferry", "/Program Files/Clipferry");
        row("exact name first", "C:\\videos\\New", "/videos/New");
        row("ambiguous letter case", "C:\\VIDEOS\\New", "/VIDEOS/New");
        // No path, and no file: "!".
        row("no such drive", "Q:\\a\\clip.mpg", "!");
        row("no drive letter", ":\\a\\clip.mpg", "!");
        row("relative", "a\\clip.mpg", "!");
        row("empty slot", "F:\\clip.mpg", "!");
    }

    void pathTranslation()
    {
        QFETCH(QString, windows);
        QFETCH(QString, relative);
        TempMachine machine;
        machine.makeFolder("C:\\Videos");
        QDir(machine.nativeC()).mkdir("videos"); // makeFolder() would find "Videos"
        machine.addEmptySlot(QLatin1Char('F'));
        if (relative == "!") {
            QVERIFY_THROWS_EXCEPTION(Error, toNativePath(machine.machine(), windows));
            QVERIFY(!FileSystemObject(machine.machine()).FileExists(windows));
            return;
        }
        const QString native = toNativePath(machine.machine(), windows);
        QCOMPARE(native, QDir::cleanPath(machine.nativeC() + relative));
        // And back, in the program's form: no trailing "\" except at a root.
        QCOMPARE(toWindowsPath(machine.machine(), native),
                 QStringLiteral("C:")
                         + (relative.isEmpty() ? QStringLiteral("\\")
                                               : QString(relative).replace('/', '\\')));
    }

    // Blanks, non-ASCII letters and 255-byte names: query, list, copy and write whole.
    void unusualNamesWork()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        for (const QString &name :
             {QString(251, QLatin1Char('n')) + ".mpg", QString(125, QChar(0xe9)) + ".prx"}) {
            const QString path = "C:\\Clips Ñ\\" + name;
            machine.writeFile(path, "data");
            QVERIFY2(fs.FileExists(path), qPrintable(name));
            QVERIFY(listFiles(machine.machine(), "C:\\Clips Ñ\\").contains(name));
            fs.CopyFile(path, "C:\\Windows\\");
            QVERIFY(fs.FileExists("C:\\Windows\\" + name));
            const QString windows = machine.native("C:\\Windows") + '/' + name;
            writeFileAtomically(windows, "replaced", ExistingFile::Replace);
            QFile::remove(windows);
            writeFileAtomically(windows, "new", ExistingFile::Refuse);
            QCOMPARE(contentOf(windows), "new");
        }
        QCOMPARE(entriesOf(machine.native("C:\\Windows")).size(), 2); // no temporaries left
    }

    void namesThatAreNotUtf8_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.mpg");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9.mpg");
        QTest::newRow("cut-off sequence") << QByteArray("a\xe2\x82.mpg");
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf.mpg");
        QTest::newRow("private-use letter as UTF-8") << QByteArray("x\xee\xbe\xa9.mpg");
        QTest::newRow("surrogate as UTF-8") << QByteArray("\xed\xa0\x80.mpg");
    }

    // Whatever bytes a name holds, it is listed once as valid Unicode (shown, and given to
    // accessibility, as it is), found and copied under the same bytes.
    void namesThatAreNotUtf8()
    {
        QFETCH(QByteArray, name);
        TempMachine machine;
        const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
        const QByteArray folder = toNativeBytes(machine.makeFolder("C:\\Old"));
        QVERIFY(QFile(QString::fromLatin1(folder + "/ascii")).open(QIODevice::WriteOnly));
        QCOMPARE(::rename((folder + "/ascii").constData(), (folder + '/' + name).constData()), 0);
        const QStringList names = listFiles(machine.machine(), "C:\\Old\\").filter(".mpg");
        QCOMPARE(names.size(), 1);
        const QString shown = names.first();
        QCOMPARE(QString::fromUtf8(shown.toUtf8()), shown);
        QCOMPARE(toNativeBytes(toNativePath(machine.machine(), "C:\\Old\\" + shown)),
                 folder + '/' + name);
        FileSystemObject(machine.machine()).CopyFile("C:\\Old\\" + shown, "E:\\");
        QCOMPARE(::access((toNativeBytes(card) + '/' + name).constData(), F_OK), 0);
    }

    // An abandoned copy removes its temporary from its folder even after the path went away.
    void copyIntoAFolderWhosePathWentAway()
    {
        QTemporaryDir place;
        const QString card = place.filePath("card"), moved = place.filePath("moved");
        const QString source = place.filePath("slow.wmv");
        QVERIFY(QDir().mkdir(card));
        QVERIFY(::mkfifo(QFile::encodeName(source).constData(), 0600) == 0);
        // Held open for writing, the pipe lets the copy start and keeps it waiting for bytes.
        const int pipe = ::open(QFile::encodeName(source).constData(), O_RDWR | O_CLOEXEC);
        QVERIFY(pipe >= 0);
        FolderCopy copy(source, card, "slow.wmv");
        std::thread worker([&] { copy.run(); });
        QTRY_COMPARE(entriesOf(card).size(), 1);
        QVERIFY(isTemporaryName(QFile::encodeName(entriesOf(card).first())));
        QVERIFY(newTemporaryName(partialSuffix) != newTemporaryName(partialSuffix));

        QVERIFY(QDir().rename(card, moved));
        copy.cancel();
        QVERIFY(::write(pipe, "bytes", 5) == 5);
        ::close(pipe);
        worker.join();
        QCOMPARE(copy.outcome(), FolderCopy::Outcome::Cancelled);
        QCOMPARE(entriesOf(moved), QStringList());
    }

    // The file list takes regular files only, no hidden ones and no folders.
    void listingFiles()
    {
        TempMachine machine;
        machine.makeFolder("C:\\v\\Sub");
        machine.makeFolder("C:\\v\\.hidden");
        machine.writeFile("C:\\v\\clip.mpg");
        machine.writeFile("C:\\v\\.secret");
        QCOMPARE(listFiles(machine.machine(), "C:\\v\\"), QStringList({"clip.mpg"}));
        QCOMPARE(volumeLabel(machine.machine(), "C:"), "Clipferry");
        const FileSystemObject fs(machine.machine());
        QVERIFY(fs.FileExists("C:\\v\\\\clip.mpg") && !fs.FileExists("C:\\v\\Sub")
                && !fs.FileExists("C:\\v\\other.mpg"));
    }

    // What is missing, or has no Windows name, is an error; a folder's names its reason.
    void missingThingsAreErrors()
    {
        TempMachine machine;
        machine.addEmptySlot(QLatin1Char('A'));
        QCOMPARE(failureOf([&] { listFiles(machine.machine(), "C:\\missing\\"); }),
                 "Cannot list the folder C:\\missing\\: No such file or directory");
        QVERIFY_THROWS_EXCEPTION(Error, listFiles(machine.machine(), "A:\\"));
        QVERIFY_THROWS_EXCEPTION(Error, volumeLabel(machine.machine(), "A:"));
        QVERIFY_THROWS_EXCEPTION(Error, toWindowsPath(machine.machine(), "/proc"));
    }

    // A copy replaces, keeps its name into a "\" folder, and leaves nothing when it fails.
    void copiesReplaceOrLeaveNothing()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
        machine.writeFile("C:\\out\\clip.wmv", "new content");
        machine.writeFile("E:\\clip.wmv", "old");
        fs.CopyFile("C:\\out\\clip.wmv", "E:\\");
        QCOMPARE(contentOf(card + "/clip.wmv"), "new content");
        fs.CopyFile("C:\\out\\clip.wmv", "E:\\renamed.wmv");
        QCOMPARE(contentOf(card + "/renamed.wmv"), "new content");
        QVERIFY_THROWS_EXCEPTION(Error, fs.CopyFile("C:\\out\\none.wmv", "E:\\"));
        QVERIFY_THROWS_EXCEPTION(Error,
                                 fs.CopyFile("C:\\out\\clip.wmv", "C:\\Windows")); // a folder
        QCOMPARE(entriesOf(card), QStringList({"clip.wmv", "renamed.wmv"}));

        const ReadOnlyFolder locked(card);
        if (!locked.locked())
            QSKIP("no way to make a folder read-only here");
        const QString failure = failureOf([&] { fs.CopyFile("C:\\out\\clip.wmv", "E:\\"); });
        QVERIFY2(failure.startsWith("Cannot copy C:\\out\\clip.wmv to E:\\clip.wmv: "),
                 qPrintable(failure));
        QCOMPARE(entriesOf(card), QStringList({"clip.wmv", "renamed.wmv"}));
    }

    // The temporary is made but its bytes do not fit: it goes, the earlier file stays.
    void copyOntoFullFileSystemLeavesNothing()
    {
        TempMachine machine;
        FileSystemObject fs(machine.machine());
        const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
        const QByteArray root = QFile::encodeName(card);
        if (::mount("tmpfs", root.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("A small tmpfs cannot be mounted here (needs root and mount rights)");
        const auto unmount = qScopeGuard([&] { ::umount(root.constData()); });
        machine.writeFile("C:\\out\\big.wmv", QByteArray(256 * 1024, 'x'));
        machine.writeFile("E:\\big.wmv", "earlier copy");

        QVERIFY_THROWS_EXCEPTION(Error, fs.CopyFile("C:\\out\\big.wmv", "E:\\"));
        QCOMPARE(entriesOf(card), QStringList{"big.wmv"});
        QCOMPARE(contentOf(card + "/big.wmv"), "earlier copy");
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
