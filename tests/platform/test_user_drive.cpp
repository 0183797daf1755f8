// The user's own C: drive of an installed program, set up and brought up to date on each start.
#include "checks.h"
#include "platform/machine.h"
#include "platform/user_drive.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString ProgramDir = QStringLiteral("Program Files/Clipferry");
const QString EncoderDir = QStringLiteral("Program Files/Windows Media Components/Encoder");

// An installed C: drive; the profile editor writes its arguments into the file CF_ARGS names.
void layOutInstallation(const QString &root)
{
    writeFile(root + "/" + sharedDriveMarker, "shared\n");
    writeFile(root + "/" + ProgramDir + "/clipferry", "program");
    writeFile(root + "/" + ProgramDir + "/engine.html", "<html/>");
    writeFile(root + "/" + EncoderDir + "/WMEncEng.dll", "module");
    const QString editor = root + "/" + EncoderDir + "/WMProEdt.exe";
    writeFile(editor, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$CF_ARGS\"\n");
    QFile::setPermissions(editor, QFile::permissions(editor) | QFile::ExeOwner);
    writeFile(root + "/" + EncoderDir + "/Profiles/Shared.prx", "shared profile");
    writeFile(root + "/Samples/AVSEQ01.DAT", "clip");
    QVERIFY(QDir().mkpath(root + "/Windows"));
}

} // namespace

class TestUserDrive : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/cf user's drive-XXXXXX");
        QVERIFY(m_temp->isValid());
        m_installed = m_temp->path() + "/lib/clipferry/drive_c";
        m_user = m_temp->path() + "/home/ann's data/clipferry/drive_c";
        layOutInstallation(m_installed);
    }

    // The installation's files are linked; the profile, sample and Windows folders are the
    // user's own, with copies of the shared profiles.
    void firstStart()
    {
        prepareUserDriveC(m_installed, m_user);
        for (const QString &path : {ProgramDir + "/clipferry",
                                    EncoderDir + "/WMEncEng.dll",
                                    QString("Samples/AVSEQ01.DAT")})
            QCOMPARE(QFileInfo(m_user + "/" + path).symLinkTarget(), m_installed + "/" + path);
        const QString profiles = m_user + "/" + EncoderDir + "/Profiles";
        for (const QString &path :
             {profiles, m_user + "/Samples", m_user + "/Windows", profiles + "/Shared.prx"}) {
            const QFileInfo entry(path);
            QVERIFY2(entry.exists() && !entry.isSymLink() && entry.isWritable(), qPrintable(path));
        }
        QCOMPARE(contentOf(profiles + "/Shared.prx"), QByteArray("shared profile"));
        QVERIFY(!QFileInfo::exists(m_user + "/" + sharedDriveMarker));
        checkEditorLauncher();
    }

    // A later start follows a moved, changed installation and keeps the user's own files.
    void laterStart()
    {
        prepareUserDriveC(m_installed, m_user);
        const QString profiles = m_user + "/" + EncoderDir + "/Profiles";
        writeFile(profiles + "/Shared.prx", "edited by the user");
        writeFile(m_user + "/Samples/AVSEQ01.wmv", "output");
        QVERIFY(QFile::remove(m_user + "/" + ProgramDir + "/engine.html"));
        writeFile(m_user + "/" + ProgramDir + "/engine.html", "the user's page");
        const QString moved = m_temp->path() + "/opt/clipferry/drive_c";
        QVERIFY(QDir().mkpath(QFileInfo(moved).path()));
        QVERIFY(QDir().rename(m_installed, moved));
        QVERIFY(QFile::remove(moved + "/" + EncoderDir + "/WMEncEng.dll"));
        writeFile(moved + "/" + EncoderDir + "/WMProfiles.txt", "new");
        writeFile(moved + "/" + EncoderDir + "/Profiles/Shared.prx", "newer shared profile");
        writeFile(moved + "/" + EncoderDir + "/Profiles/New.prx", "new profile");
        prepareUserDriveC(moved, m_user);

        for (const QString &path : {ProgramDir + "/clipferry", EncoderDir + "/WMProfiles.txt"})
            QCOMPARE(QFileInfo(m_user + "/" + path).symLinkTarget(), moved + "/" + path);
        const QFileInfo dropped(m_user + "/" + EncoderDir + "/WMEncEng.dll");
        QVERIFY(!dropped.exists() && !dropped.isSymLink());
        QCOMPARE(contentOf(profiles + "/Shared.prx"), QByteArray("edited by the user"));
        QCOMPARE(contentOf(profiles + "/New.prx"), QByteArray("new profile"));
        QCOMPARE(contentOf(m_user + "/Samples/AVSEQ01.wmv"), QByteArray("output"));
        QCOMPARE(contentOf(m_user + "/" + ProgramDir + "/engine.html"),
                 QByteArray("the user's page"));
        checkEditorLauncher();
    }

    void aFileInTheWayIsReported()
    {
        writeFile(m_user + "/Samples", "a file where the folder belongs");
        const QString failure = failureOf([&] { prepareUserDriveC(m_installed, m_user); });
        QVERIFY2(failure.startsWith(
                         QStringLiteral("Cannot set up your own C: drive in %1: cannot make "
                                        "the folder %1/Samples: ")
                                 .arg(m_user)),
                 qPrintable(failure));
    }

    // A C: drive the user cannot write to is shared too, not only one marked so.
    void unwritableDriveIsShared()
    {
        const QString root = m_temp->filePath("root");
        QVERIFY(QDir().mkpath(root));
        QVERIFY(!isSharedDriveC(root)); // the build tree's
        const ReadOnlyFolder locked(root);
        if (locked.locked())
            QVERIFY(isSharedDriveC(root));
    }

    void installedProgramRunsOnTheUsersDrive()
    {
        const QString data = m_temp->filePath("home/.local/share");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data));
        const auto machine = Machine::forExecutable(m_installed + "/" + ProgramDir + "/clipferry");
        qunsetenv("XDG_DATA_HOME");

        const QString userRoot = data + "/clipferry/drive_c";
        QCOMPARE(machine->driveCRoot(), userRoot);
        QCOMPARE(machine->programFolder(), "C:\\Program Files\\Clipferry");
        QCOMPARE(machine->encoderFolder(), userRoot + "/" + EncoderDir);
        QCOMPARE(machine->drives().find(QLatin1Char('C'))->volume.nativeRoot, userRoot);

        // The build tree's C: is writable and not marked: used as it is.
        QVERIFY(QFile::remove(m_installed + "/" + sharedDriveMarker));
        const auto build = Machine::forExecutable(m_installed + "/" + ProgramDir + "/clipferry");
        QCOMPARE(build->driveCRoot(), m_installed);
    }

private:
    // The user's editor launcher hands the editor the user's own profiles.
    void checkEditorLauncher()
    {
        QProcess editor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CF_ARGS", m_temp->filePath("args"));
        editor.setProcessEnvironment(environment);
        editor.start(m_user + "/" + EncoderDir + "/WMProEdt.exe", {"extra"});
        QVERIFY(editor.waitForFinished(10000) && editor.exitCode() == 0);
        QCOMPARE(QString::fromUtf8(contentOf(m_temp->filePath("args"))),
                 "--profiles\n" + m_user + "/" + EncoderDir + "/Profiles\nextra\n");
    }

    // Paths with blanks and a quote, as a home may have.
    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_installed;
    QString m_user;
};

QTEST_GUILESS_MAIN(TestUserDrive)
#include "test_user_drive.moc"
