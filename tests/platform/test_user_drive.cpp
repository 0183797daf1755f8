// The user's own C: drive of an installed program: set up from the shared installation on the
// first start and brought up to date on every later one.

#include "common/error.h"
#include "platform/machine.h"
#include "platform/user_drive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString ProgramDir = QStringLiteral("Program Files/Clipferry");
const QString EncoderDir = QStringLiteral("Program Files/Windows Media Components/Encoder");

void writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), content.size());
    file.close();
    if (executable)
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString linkTarget(const QString &path)
{
    QByteArray buffer(4096, '\0');
    const ssize_t length
            = ::readlink(QFile::encodeName(path).constData(), buffer.data(), buffer.size());
    return length < 0 ? QString() : QFile::decodeName(buffer.left(length));
}

// An installed C: drive as the install rules lay it out. The profile editor is a stand-in
// that writes its arguments into the file named by CF_ARGS.
void layOutInstallation(const QString &root)
{
    writeFile(root + "/" + sharedDriveMarker, "shared\n");
    writeFile(root + "/" + ProgramDir + "/clipferry", "program", true);
    writeFile(root + "/" + ProgramDir + "/Kestrel Medium.prx", "profile");
    writeFile(root + "/" + ProgramDir + "/engine.html", "<html/>");
    writeFile(root + "/" + EncoderDir + "/WMEncEng.dll", "module");
    writeFile(root + "/" + EncoderDir + "/WMEncWorker", "worker", true);
    writeFile(root + "/" + EncoderDir + "/WMProEdt.exe",
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$CF_ARGS\"\n",
              true);
    writeFile(root + "/" + EncoderDir + "/Profiles/Shared.prx", "shared profile");
    writeFile(root + "/Program Files/Internet Explorer/IEXPLORE.EXE", "#!/bin/sh\n", true);
    writeFile(root + "/Samples/AVSEQ01.DAT", "clip");
    QVERIFY(QDir().mkpath(root + "/Windows"));
}

// Runs the user's profile editor launcher and returns the arguments the editor was given.
QStringList editorArguments(const QString &userRoot, const QString &argsFile)
{
    QProcess editor;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CF_ARGS"), argsFile);
    editor.setProcessEnvironment(environment);
    editor.start(userRoot + "/" + EncoderDir + "/WMProEdt.exe", {QStringLiteral("extra")});
    if (!editor.waitForFinished(10000) || editor.exitCode() != 0)
        return {QStringLiteral("<launcher failed>")};
    return QString::fromUtf8(contentOf(argsFile)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestUserDrive : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstStart_data();
    void firstStart();
    void editorLauncherNamesTheUsersProfiles();
    void laterStartFollowsTheInstallation();
    void usersOwnFilesAreKept();
    void aFileInTheWayIsReported();
    void sharedDrive_data();
    void sharedDrive();
    void installedProgramRunsOnTheUsersDrive();

private:
    // Paths with blanks and a quote, as a user's home may have.
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_installed;
    QString m_user;
};

void TestUserDrive::init()
{
    m_temp = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/cf user's drive-XXXXXX");
    QVERIFY(m_temp->isValid());
    m_installed = m_temp->path() + "/lib/clipferry/drive_c";
    m_user = m_temp->path() + "/home/ann's data/clipferry/drive_c";
    layOutInstallation(m_installed);
}

void TestUserDrive::firstStart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");

    QTest::newRow("program") << ProgramDir + "/clipferry"
                             << "link";
    QTest::newRow("shipped profile") << ProgramDir + "/Kestrel Medium.prx"
                                     << "link";
    QTest::newRow("engine page") << ProgramDir + "/engine.html"
                                 << "link";
    QTest::newRow("engine module") << EncoderDir + "/WMEncEng.dll"
                                   << "link";
    QTest::newRow("worker") << EncoderDir + "/WMEncWorker"
                            << "link";
    QTest::newRow("browser") << "Program Files/Internet Explorer/IEXPLORE.EXE"
                             << "link";
    QTest::newRow("sample") << "Samples/AVSEQ01.DAT"
                            << "link";
    QTest::newRow("editor") << EncoderDir + "/WMProEdt.exe"
                            << "launcher";
    QTest::newRow("profiles") << EncoderDir + "/Profiles"
                              << "folder";
    QTest::newRow("samples") << "Samples"
                             << "folder";
    QTest::newRow("windows") << "Windows"
                             << "folder";
    QTest::newRow("installed profile") << EncoderDir + "/Profiles/Shared.prx"
                                       << "copy";
    QTest::newRow("shared mark") << QString(sharedDriveMarker) << "absent";
}

void TestUserDrive::firstStart()
{
    QFETCH(QString, path);
    QFETCH(QString, kind);
    prepareUserDriveC(m_installed, m_user);

    const QFileInfo entry(m_user + "/" + path);
    if (kind == QLatin1String("absent")) {
        QVERIFY(!entry.exists() && !entry.isSymLink());
    } else if (kind == QLatin1String("link")) {
        QCOMPARE(linkTarget(entry.filePath()), m_installed + "/" + path);
        QVERIFY(entry.exists());
    } else {
        // Folders and files of the user's own: real, and writable for them.
        QVERIFY(!entry.isSymLink());
        QVERIFY(kind == QLatin1String("folder") ? entry.isDir() : entry.isFile());
        QVERIFY(entry.isWritable());
        if (kind == QLatin1String("launcher"))
            QVERIFY(entry.isExecutable());
        if (kind == QLatin1String("copy"))
            QCOMPARE(contentOf(entry.filePath()), contentOf(m_installed + "/" + path));
    }
}

void TestUserDrive::editorLauncherNamesTheUsersProfiles()
{
    prepareUserDriveC(m_installed, m_user);
    const QStringList expected
            = {QStringLiteral("--profiles"), m_user + "/" + EncoderDir + "/Profiles", "extra"};
    QCOMPARE(editorArguments(m_user, m_temp->filePath("args")), expected);
}

void TestUserDrive::laterStartFollowsTheInstallation()
{
    prepareUserDriveC(m_installed, m_user);

    // A new version moves the installation, drops the engine page and adds a file.
    const QString moved = m_temp->path() + "/opt/clipferry/drive_c";
    QVERIFY(QDir().mkpath(QFileInfo(moved).path()));
    QVERIFY(QDir().rename(m_installed, moved));
    QVERIFY(QFile::remove(moved + "/" + ProgramDir + "/engine.html"));
    writeFile(moved + "/" + EncoderDir + "/WMProfiles.txt", "new");
    prepareUserDriveC(moved, m_user);

    for (const QString &path : {ProgramDir + "/clipferry",
                                EncoderDir + "/WMEncEng.dll",
                                EncoderDir + "/WMProfiles.txt",
                                QStringLiteral("Samples/AVSEQ01.DAT")}) {
        QCOMPARE(linkTarget(m_user + "/" + path), moved + "/" + path);
    }
    const QFileInfo dropped(m_user + "/" + ProgramDir + "/engine.html");
    QVERIFY(!dropped.exists() && !dropped.isSymLink());
    const QStringList expected
            = {QStringLiteral("--profiles"), m_user + "/" + EncoderDir + "/Profiles", "extra"};
    QCOMPARE(editorArguments(m_user, m_temp->filePath("args")), expected);
}

void TestUserDrive::usersOwnFilesAreKept()
{
    prepareUserDriveC(m_installed, m_user);
    const QString profiles = m_user + "/" + EncoderDir + "/Profiles";
    writeFile(profiles + "/Shared.prx", "edited by the user");
    writeFile(profiles + "/Kestrel Medium.prx", "copied by Check Profile Setup");
    writeFile(m_user + "/Samples/AVSEQ01.wmv", "output");
    // A file of the user's own where the installation has one of that name.
    QVERIFY(QFile::remove(m_user + "/" + ProgramDir + "/engine.html"));
    writeFile(m_user + "/" + ProgramDir + "/engine.html", "the user's page");

    writeFile(m_installed + "/" + EncoderDir + "/Profiles/Shared.prx", "newer shared profile");
    prepareUserDriveC(m_installed, m_user);

    QCOMPARE(contentOf(profiles + "/Shared.prx"), QByteArray("edited by the user"));
    QCOMPARE(contentOf(profiles + "/Kestrel Medium.prx"),
             QByteArray("copied by Check Profile Setup"));
    QCOMPARE(contentOf(m_user + "/Samples/AVSEQ01.wmv"), QByteArray("output"));
    QCOMPARE(contentOf(m_user + "/" + ProgramDir + "/engine.html"), QByteArray("the user's page"));
}

void TestUserDrive::aFileInTheWayIsReported()
{
    writeFile(m_user + "/Samples", "a file where the folder belongs");
    try {
        prepareUserDriveC(m_installed, m_user);
        QFAIL("a file in place of a folder must stop the set-up");
    } catch (const Error &e) {
        const QString expected = QStringLiteral("Cannot set up your own C: drive in %1: cannot "
                                                "make the folder %1/Samples: ")
                                         .arg(m_user);
        QVERIFY2(e.description().startsWith(expected), qPrintable(e.description()));
    }
}

void TestUserDrive::sharedDrive_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("shared");

    QTest::newRow("build tree") << false << false << false;
    QTest::newRow("installed, marked") << true << false << true;
    QTest::newRow("installed, not writable") << false << true << true;
}

void TestUserDrive::sharedDrive()
{
    QFETCH(bool, marked);
    QFETCH(bool, readOnly);
    QFETCH(bool, shared);
    const QString root = m_temp->filePath("root");
    QVERIFY(QDir().mkpath(root));
    if (marked)
        writeFile(root + "/" + sharedDriveMarker, "shared\n");

    // Root may write into any folder, but not onto a read-only file system.
    bool mounted = false;
    if (readOnly && ::geteuid() == 0) {
        mounted = ::mount("tmpfs",
                          QFile::encodeName(root).constData(),
                          "tmpfs",
                          MS_RDONLY,
                          "size=64k")
                  == 0;
        if (!mounted)
            QSKIP("A read-only tmpfs cannot be mounted here (needs mount rights)");
    } else if (readOnly) {
        QVERIFY(QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner));
    }
    const bool answer = isSharedDriveC(root);
    if (mounted)
        ::umount(QFile::encodeName(root).constData());
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(answer, shared);
}

void TestUserDrive::installedProgramRunsOnTheUsersDrive()
{
    const QString data = m_temp->filePath("home/.local/share");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    const auto machine = Machine::forExecutable(m_installed + "/" + ProgramDir + "/clipferry");
    qunsetenv("XDG_DATA_HOME");

    const QString userRoot = data + "/clipferry/drive_c";
    QCOMPARE(machine->driveCRoot(), userRoot);
    QCOMPARE(machine->programFolder(), QStringLiteral("C:\\Program Files\\Clipferry"));
    QCOMPARE(machine->encoderFolder(), userRoot + "/" + EncoderDir);
    QVERIFY(QFileInfo(machine->encoderFolder() + "/WMEncEng.dll").isSymLink());
    QCOMPARE(machine->drives().find(QLatin1Char('C'))->volume.nativeRoot, userRoot);

    // The build tree's C: is writable and not marked: the program uses it as it is.
    QVERIFY(QFile::remove(m_installed + "/" + sharedDriveMarker));
    const auto build = Machine::forExecutable(m_installed + "/" + ProgramDir + "/clipferry");
    QCOMPARE(build->driveCRoot(), m_installed);
    QCOMPARE(build->programFolder(), QStringLiteral("C:\\Program Files\\Clipferry"));
}

QTEST_GUILESS_MAIN(TestUserDrive)
#include "test_user_drive.moc"
