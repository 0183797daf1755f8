// Paths, file queries, folder listing and the file copy, on real temporary folders.
#include "common/error.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/win_paths.h"
#include "temp_machine.h"

#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

namespace {

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QStringList entriesBeside(const QString &nativeFolder)
{
    return QDir(nativeFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void pathTranslation_data();
    void pathTranslation();
    void pathFailures();
    void letterCaseOfNamesIsForgiven();
    void unusualNamesWork();
    void fileExists();
    void listingFiltersHiddenEntries();
    void listingAndAttributeFailures();
    void copyReplacesAndKeepsNames();
    void failedCopiesLeaveNothing();
    void copyOntoFullFileSystemLeavesNothing();
};

void TestFiles::pathTranslation_data()
{
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("relative"); // to the C: root
    QTest::newRow("root") << "C:\\"
                          << "";
    QTest::newRow("drive only") << "C:"
                                << "";
    QTest::newRow("folder") << "C:\\Program Files\\Clipferry"
                            << "/Program Files/Clipferry";
    QTest::newRow("trailing separator") << "C:\\Windows\\"
                                        << "/Windows";
    QTest::newRow("doubled separator") << "C:\\\\Windows\\\\a.mpg"
                                       << "/Windows/a.mpg";
    QTest::newRow("small letter") << "c:\\Windows"
                                  << "/Windows";
    QTest::newRow("no escape above the root") << "C:\\..\\..\\Windows"
                                              << "/Windows";
}

void TestFiles::pathTranslation()
{
    QFETCH(QString, windows);
    QFETCH(QString, relative);
    TempMachine machine;
    const QString native = toNativePath(machine.machine(), windows);
    QCOMPARE(native, QDir::cleanPath(machine.nativeC() + relative));
    // And back, in the program's form: no trailing "\" except at a root.
    const QString back = toWindowsPath(machine.machine(), native);
    QCOMPARE(back,
             relative.isEmpty() ? QStringLiteral("C:\\")
                                : QStringLiteral("C:") + QString(relative).replace('/', '\\'));
}

void TestFiles::pathFailures()
{
    TempMachine machine;
    machine.addEmptySlot(QLatin1Char('F'));
    QVERIFY_THROWS_EXCEPTION(Error, toNativePath(machine.machine(), QStringLiteral("Q:\\a")));
    QVERIFY_THROWS_EXCEPTION(Error,
                             toNativePath(machine.machine(), QStringLiteral(":\\Program Files")));
    QVERIFY_THROWS_EXCEPTION(Error, toNativePath(machine.machine(), QStringLiteral("relative\\a")));
    QVERIFY_THROWS_EXCEPTION(Error, toNativePath(machine.machine(), QStringLiteral("F:\\a")));
    QVERIFY_THROWS_EXCEPTION(Error, toWindowsPath(machine.machine(), QStringLiteral("/proc")));
}

void TestFiles::letterCaseOfNamesIsForgiven()
{
    TempMachine machine;
    machine.makeFolder(QStringLiteral("C:\\Videos\\Holiday"));
    QCOMPARE(machine.native(QStringLiteral("C:\\VIDEOS\\holiday")),
             machine.nativeC() + "/Videos/Holiday");
    // A name that exists exactly is taken as it is, and a missing one is kept as given.
    QDir(machine.nativeC()).mkdir(QStringLiteral("videos"));
    QCOMPARE(machine.native(QStringLiteral("C:\\videos\\New")), machine.nativeC() + "/videos/New");
}

void TestFiles::unusualNamesWork()
{
    TempMachine machine;
    FileSystemObject fs(machine.machine());
    const QString longName = QString(196, QLatin1Char('n')) + QStringLiteral(".mpg");
    for (const QString &name :
         {QStringLiteral("my clip.mpg"), QStringLiteral("Fête à Zürich.mpg"), longName}) {
        const QString path = QStringLiteral("C:\\Clips Ñ\\") + name;
        machine.writeFile(path, "data");
        QVERIFY2(fs.FileExists(path), qPrintable(name));
        QVERIFY(listFolder(machine.machine(), QStringLiteral("C:\\Clips Ñ\\")).contains(name));
        fs.CopyFile(path, QStringLiteral("C:\\Windows\\"));
        QVERIFY(fs.FileExists(QStringLiteral("C:\\Windows\\") + name));
    }
}

void TestFiles::fileExists()
{
    TempMachine machine;
    FileSystemObject fs(machine.machine());
    machine.writeFile(QStringLiteral("C:\\a\\clip.mpg"));
    QVERIFY(fs.FileExists(QStringLiteral("C:\\a\\clip.mpg")));
    QVERIFY(fs.FileExists(QStringLiteral("C:\\a\\\\clip.mpg")));
    QVERIFY(!fs.FileExists(QStringLiteral("C:\\a"))); // a folder is no file
    QVERIFY(!fs.FileExists(QStringLiteral("C:\\a\\other.mpg")));
    QVERIFY(!fs.FileExists(QStringLiteral("Q:\\a\\clip.mpg"))); // no such drive
    QVERIFY(!fs.FileExists(QStringLiteral(":\\a\\clip.mpg")));  // no drive letter at all
}

void TestFiles::listingFiltersHiddenEntries()
{
    TempMachine machine;
    machine.makeFolder(QStringLiteral("C:\\v\\Sub"));
    machine.makeFolder(QStringLiteral("C:\\v\\.hidden"));
    machine.writeFile(QStringLiteral("C:\\v\\clip.mpg"));
    machine.writeFile(QStringLiteral("C:\\v\\.secret"));
    const QStringList names = listFolder(machine.machine(), QStringLiteral("C:\\v\\"));
    QCOMPARE(sorted(names), QStringList({".", "..", "Sub", "clip.mpg"}));
    QCOMPARE(fileAttributes(machine.machine(), QStringLiteral("C:\\v\\Sub")), 16u);
    QCOMPARE(fileAttributes(machine.machine(), QStringLiteral("C:\\v\\clip.mpg")), 0u);
    QCOMPARE(volumeLabel(machine.machine(), QStringLiteral("C:")), QStringLiteral("Clipferry"));
}

void TestFiles::listingAndAttributeFailures()
{
    TempMachine machine;
    machine.addEmptySlot(QLatin1Char('A'));
    try {
        listFolder(machine.machine(), QStringLiteral("C:\\missing\\"));
        QFAIL("listing a missing folder must fail");
    } catch (const Error &e) {
        QCOMPARE(e.description(),
                 QStringLiteral("Cannot list the folder C:\\missing\\: No such file or directory"));
    }
    QVERIFY_THROWS_EXCEPTION(Error, listFolder(machine.machine(), QStringLiteral("A:\\")));
    QVERIFY_THROWS_EXCEPTION(Error, volumeLabel(machine.machine(), QStringLiteral("A:")));
    QVERIFY_THROWS_EXCEPTION(Error, volumeLabel(machine.machine(), QStringLiteral("Q:")));
    QVERIFY_THROWS_EXCEPTION(Error,
                             fileAttributes(machine.machine(), QStringLiteral("C:\\missing")));
}

void TestFiles::copyReplacesAndKeepsNames()
{
    TempMachine machine;
    FileSystemObject fs(machine.machine());
    const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
    machine.writeFile(QStringLiteral("C:\\out\\clip.wmv"), "new content");
    machine.writeFile(QStringLiteral("E:\\clip.wmv"), "old");

    fs.CopyFile(QStringLiteral("C:\\out\\clip.wmv"), QStringLiteral("E:\\"));
    QFile copied(card + QStringLiteral("/clip.wmv"));
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("new content"));
    QCOMPARE(entriesBeside(card), QStringList{"clip.wmv"}); // no temporary left

    fs.CopyFile(QStringLiteral("C:\\out\\clip.wmv"), QStringLiteral("E:\\renamed.wmv"));
    QVERIFY(fs.FileExists(QStringLiteral("E:\\renamed.wmv")));
}

void TestFiles::failedCopiesLeaveNothing()
{
    TempMachine machine;
    FileSystemObject fs(machine.machine());
    machine.writeFile(QStringLiteral("C:\\out\\clip.wmv"), "content");
    const QString locked = machine.makeFolder(QStringLiteral("C:\\locked"));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    // Root may write into any folder, but not onto a read-only file system.
    const bool mounted
            = ::geteuid() == 0
              && ::mount("tmpfs", locked.toLocal8Bit().constData(), "tmpfs", MS_RDONLY, "size=64k")
                         == 0;
    if (::geteuid() != 0 || mounted) {
        try {
            fs.CopyFile(QStringLiteral("C:\\out\\clip.wmv"), QStringLiteral("C:\\locked\\"));
            QFAIL("copying into a read-only folder must fail");
        } catch (const Error &e) {
            QVERIFY2(e.description().startsWith(QStringLiteral(
                             "Cannot copy C:\\out\\clip.wmv to C:\\locked\\clip.wmv: ")),
                     qPrintable(e.description()));
        }
        QVERIFY(entriesBeside(locked).isEmpty());
    }
    if (mounted)
        ::umount(locked.toLocal8Bit().constData());
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QVERIFY_THROWS_EXCEPTION(
            Error,
            fs.CopyFile(QStringLiteral("C:\\out\\none.wmv"), QStringLiteral("C:\\locked\\")));
    QVERIFY_THROWS_EXCEPTION(
            Error, fs.CopyFile(QStringLiteral("C:\\out\\clip.wmv"), QStringLiteral("C:\\locked")));
    QVERIFY(entriesBeside(locked).isEmpty());
}

void TestFiles::copyOntoFullFileSystemLeavesNothing()
{
    TempMachine machine;
    FileSystemObject fs(machine.machine());
    const QString card = machine.addDrive(QLatin1Char('E'), DriveKind::Removable);
    if (::mount("tmpfs", card.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("A small tmpfs cannot be mounted here (needs root and mount rights)");
    machine.writeFile(QStringLiteral("C:\\out\\big.wmv"), QByteArray(256 * 1024, 'x'));
    machine.writeFile(QStringLiteral("E:\\big.wmv"), "earlier copy");

    QVERIFY_THROWS_EXCEPTION(
            Error, fs.CopyFile(QStringLiteral("C:\\out\\big.wmv"), QStringLiteral("E:\\")));
    QCOMPARE(entriesBeside(card), QStringList{"big.wmv"});
    QFile earlier(card + QStringLiteral("/big.wmv"));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier copy")); // the old file is untouched
    earlier.close();
    ::umount(card.toLocal8Bit().constData());
}

QTEST_GUILESS_MAIN(TestFiles)
#include "test_files.moc"
