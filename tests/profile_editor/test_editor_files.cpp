// What the profile editor does on disk when writing fails, and how the program starts it.

#include "editor_fixture.h"

#include "common/error.h"
#include "platform/machine.h"
#include "platform/shell.h"
#include "profiles/prx_format.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

#include <functional>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString EditorCommand
        = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\WMProEdt.exe");

// Makes a folder read-only for everyone, root included: root ignores a folder's mode, so
// the folder is made immutable, or a read-only tmpfs is mounted over it. `fill` writes the
// folder's files before it is locked.
class ReadOnlyFolder
{
public:
    ReadOnlyFolder(const QString &folder, const std::function<void()> &fill)
        : m_folder(folder)
        , m_native(QFile::encodeName(folder))
    {
        fill();
        if (::geteuid() != 0) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            m_how = How::Mode;
        } else if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder})
                   == 0) {
            m_how = How::Immutable;
        } else if (::mount("tmpfs", m_native.constData(), "tmpfs", 0, "size=256k") == 0) {
            m_how = How::Mounted;
            fill();
            ::mount("tmpfs", m_native.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k");
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_how == How::Mode)
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        else if (m_how == How::Immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_folder});
        else if (m_how == How::Mounted)
            ::umount(m_native.constData());
    }
    bool locked() const
    {
        QFile probe(QDir(m_folder).filePath(QStringLiteral("probe")));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    enum class How { None, Mode, Immutable, Mounted };
    QString m_folder;
    QByteArray m_native;
    How m_how = How::None;
};

QString buildDriveC()
{
    return qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
}

} // namespace

class TestEditorFiles : public QObject
{
    Q_OBJECT
private slots:
    void readOnlyFolderKeepsItsFiles();
    void fullDiskLeavesNoTemporary();
    void nameTakenMeanwhileIsRefused();
    void writesNeverReplaceAFileTheyMustNot();
    void missingFolderIsMadeOnSave();
    void programStartsTheBuiltEditor();
};

void TestEditorFiles::readOnlyFolderKeepsItsFiles()
{
    EditorFixture f;
    ReadOnlyFolder lock(f.folder(), [&] { f.writeKestrel(QStringLiteral("Medium")); });
    if (!lock.locked())
        QSKIP("no way to make a folder read-only here (chattr and a tmpfs mount both failed)");
    const QByteArray before = f.contentOf(QStringLiteral("Kestrel Medium.prx"));
    const QStringList entries = f.entries();
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));

    f.type("width", QStringLiteral("240"));
    f.click("saveButton");
    f.type("name", QStringLiteral("Renamed"));
    f.click("saveButton");
    f.click("newButton");
    f.click("saveButton");
    f.choose(QStringLiteral("Renamed *"));
    f.prompts.answer(true);
    f.click("deleteButton");

    const QStringList errors = f.prompts.errors();
    QCOMPARE(errors.size(), 4);
    const QStringList files
            = {"Kestrel Medium.prx", "Renamed.prx", "New profile.prx", "Kestrel Medium.prx"};
    for (int i = 0; i < errors.size(); ++i)
        QVERIFY2(errors[i].contains(f.path(files[i]) + QStringLiteral(": ")),
                 qPrintable(errors[i]));
    QCOMPARE(f.contentOf(QStringLiteral("Kestrel Medium.prx")), before);
    QCOMPARE(f.entries(), entries);                               // no temporary left behind
    QVERIFY(f.listTexts().contains(QStringLiteral("Renamed *"))); // the change is still there
}

// The temporary file is made, but its bytes do not fit: the save fails, and the temporary
// goes again.
void TestEditorFiles::fullDiskLeavesNoTemporary()
{
    EditorFixture f;
    const QByteArray folder = QFile::encodeName(f.folder());
    if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("A small tmpfs cannot be mounted here (needs root and mount rights)");
    const auto unmount = qScopeGuard([&] { ::umount(folder.constData()); });
    f.writeKestrel(QStringLiteral("Medium"));
    {
        QFile filler(f.path(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {}
    }
    const QByteArray before = f.contentOf(QStringLiteral("Kestrel Medium.prx"));
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));
    f.type("description", QStringLiteral("a longer description than the disk has room for"));
    f.click("saveButton");

    QCOMPARE(f.prompts.errors().size(), 1);
    QVERIFY2(f.prompts.errors().first().endsWith(f.path(QStringLiteral("Kestrel Medium.prx"))
                                                 + QStringLiteral(": No space left on device")),
             qPrintable(f.prompts.errors().first()));
    QCOMPARE(f.contentOf(QStringLiteral("Kestrel Medium.prx")), before);
    QCOMPARE(f.entries(), (QStringList{"Kestrel Medium.prx", "filler"}));
}

void TestEditorFiles::nameTakenMeanwhileIsRefused()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Medium"));
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));
    const QByteArray before = f.contentOf(QStringLiteral("Kestrel Medium.prx"));
    f.type("name", QStringLiteral("Travel"));
    f.click("newButton");
    f.type("name", QStringLiteral("Fresh"));
    // Another program writes both names' files while the editor is open.
    f.write(QStringLiteral("Travel.prx"), "someone else's");
    f.write(QStringLiteral("Fresh.prx"), "someone else's too");

    f.click("saveButton");
    QCOMPARE(f.prompts.errors(),
             QStringList{"The profile \"Fresh\" cannot be saved: the profile folder already "
                         "holds a file named Fresh.prx"});
    f.choose(QStringLiteral("Travel *"));
    QCOMPARE(f.reason("name"),
             QStringLiteral("The profile folder already holds a file named Travel.prx"));
    QVERIFY(!f.enabled("saveButton"));

    QCOMPARE(f.contentOf(QStringLiteral("Kestrel Medium.prx")), before);
    QCOMPARE(f.contentOf(QStringLiteral("Travel.prx")), QByteArray("someone else's"));
    QCOMPARE(f.contentOf(QStringLiteral("Fresh.prx")), QByteArray("someone else's too"));
    QCOMPARE(f.entries(), (QStringList{"Fresh.prx", "Kestrel Medium.prx", "Travel.prx"}));
}

// The last moment a name can be taken: between the check and the rename into place.
void TestEditorFiles::writesNeverReplaceAFileTheyMustNot()
{
    QTemporaryDir dir;
    const QString taken = dir.filePath(QStringLiteral("Taken.prx"));
    QFile file(taken);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("theirs") == 6);
    file.close();
    ProfileSettings profile;
    profile.name = QStringLiteral("Taken");
    try {
        createProfileFile(taken, profile);
        QFAIL("an existing file was replaced");
    } catch (const Error &e) {
        QCOMPARE(e.description(), taken + QStringLiteral(": File exists"));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("theirs"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Taken.prx"});

    writeProfileFile(taken, profile); // replacing is what an in-place save does
    QCOMPARE(readProfileFile(taken).name, QStringLiteral("Taken"));
    QCOMPARE(QFileInfo(taken).permissions(), file.permissions());
}

void TestEditorFiles::missingFolderIsMadeOnSave()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QString folder = dir.filePath(QStringLiteral("Profiles"));
    ProfileEditorWindow window(folder, &prompts);
    window.show();
    QVERIFY(window.findChild<QListWidget *>(QStringLiteral("profileList"))
                    ->findItems(QStringLiteral("No profiles yet"), Qt::MatchStartsWith)
                    .size()
            == 1);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("newButton")), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("saveButton")),
                      Qt::LeftButton);
    QCOMPARE(prompts.errors(), QStringList());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"New profile.prx"});
}

void TestEditorFiles::programStartsTheBuiltEditor()
{
    const auto machine = Machine::forExecutable(
            buildDriveC() + QStringLiteral("/Program Files/Clipferry/clipferry"));
    QString started;
    machine->setLauncher([&](const QString &program, const QStringList &) {
        started = program;
        return true;
    });
    Shell(*machine, EditorCommand);
    const QString built = buildDriveC()
                          + QStringLiteral("/Program Files/Windows Media Components/Encoder/"
                                           "WMProEdt.exe");
    QCOMPARE(QFileInfo(started).canonicalFilePath(), QFileInfo(built).canonicalFilePath());

    QProcess editor;
    editor.start(built, {QStringLiteral("--help")});
    QVERIFY(editor.waitForFinished(30000));
    QCOMPARE(editor.exitCode(), 0);
    QVERIFY(editor.readAllStandardOutput().contains("--profiles"));
}

QTEST_MAIN(TestEditorFiles)
#include "test_editor_files.moc"
