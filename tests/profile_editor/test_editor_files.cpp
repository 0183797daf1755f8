// What the profile editor does on disk when writing fails, and how the program starts it.

#include "editor_fixture.h"

#include "profiles/prx_format.h"

#include <QScopeGuard>

#include <sys/mount.h>

class TestEditorFiles : public QObject
{
    Q_OBJECT
private slots:
    // In a read-only folder save, rename, new and delete name the file and the reason, and
    // change nothing there; the unsaved change stays in the editor.
    void readOnlyFolderKeepsItsFiles()
    {
        EditorFixture f;
        f.writeKestrel("Medium");
        const QByteArray before = f.contentOf("Kestrel Medium.prx");
        const ReadOnlyFolder lock(f.folder());
        if (!lock.locked())
            QSKIP("no way to make a folder read-only here");
        f.open();
        f.choose("Kestrel Medium");
        f.type("width", "240");
        f.click("saveButton");
        f.type("name", "Renamed");
        f.click("saveButton");
        f.click("newButton");
        f.click("saveButton");
        f.choose("Renamed *");
        f.prompts.answers = {true};
        f.click("deleteButton");

        const QStringList files
                = {"Kestrel Medium.prx", "Renamed.prx", "New profile.prx", "Kestrel Medium.prx"};
        QCOMPARE(f.prompts.errors.size(), files.size());
        for (int i = 0; i < files.size(); ++i)
            QVERIFY2(f.prompts.errors[i].contains(f.path(files[i]) + ": "),
                     qPrintable(f.prompts.errors[i]));
        QCOMPARE(f.contentOf("Kestrel Medium.prx"), before);
        QCOMPARE(f.entries(), QStringList{"Kestrel Medium.prx"}); // no temporary left behind
        QVERIFY(f.listTexts().contains("Renamed *"));
    }

    // A full disk: the save fails with the reason, and its temporary file goes again.
    void fullDiskLeavesNoTemporary()
    {
        EditorFixture f;
        const QByteArray folder = QFile::encodeName(f.folder());
        if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("A small tmpfs cannot be mounted here (needs root and mount rights)");
        const auto unmount = qScopeGuard([&] { ::umount(folder.constData()); });
        f.writeKestrel("Medium");
        QFile filler(f.path("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {}
        filler.close();
        const QByteArray before = f.contentOf("Kestrel Medium.prx");
        f.open();
        f.choose("Kestrel Medium");
        f.type("description", "a longer description than the disk has room for");
        f.click("saveButton");

        QCOMPARE(f.prompts.errors.size(), 1);
        QVERIFY2(f.prompts.errors.first().endsWith(f.path("Kestrel Medium.prx")
                                                   + ": No space left on device"),
                 qPrintable(f.prompts.errors.first()));
        QCOMPARE(f.contentOf("Kestrel Medium.prx"), before);
        QCOMPARE(f.entries(), QStringList({"Kestrel Medium.prx", "filler"}));
    }

    // Names another program takes meanwhile: a new profile's save is refused with a message,
    // a renamed one shows the reason beside its name.
    void nameTakenMeanwhileIsRefused()
    {
        EditorFixture f;
        f.writeKestrel("Medium");
        f.open();
        f.choose("Kestrel Medium");
        const QByteArray before = f.contentOf("Kestrel Medium.prx");
        f.type("name", "Travel");
        f.click("newButton");
        f.type("name", "Fresh");
        f.write("Travel.prx", "someone else's");
        f.write("Fresh.prx", "someone else's too");

        f.click("saveButton");
        QCOMPARE(f.prompts.errors,
                 QStringList{"The profile \"Fresh\" cannot be saved: the profile folder already "
                             "holds a file named Fresh.prx"});
        f.choose("Travel *");
        QCOMPARE(f.reason("name"), "The profile folder already holds a file named Travel.prx");
        QVERIFY(!f.enabled("saveButton"));
        QCOMPARE(f.contentOf("Kestrel Medium.prx"), before);
        QCOMPARE(f.contentOf("Travel.prx"), "someone else's");
        QCOMPARE(f.contentOf("Fresh.prx"), "someone else's too");
        QCOMPARE(f.entries(), QStringList({"Fresh.prx", "Kestrel Medium.prx", "Travel.prx"}));
    }

    // A name taken between the check and the move into place is not overwritten; an in-place
    // save replaces its file and keeps the file's permissions.
    void writesNeverReplaceAFileTheyMustNot()
    {
        EditorFixture f;
        f.write("Taken.prx", "theirs");
        const QString taken = f.path("Taken.prx");
        ProfileSettings profile;
        profile.name = "Taken";
        QCOMPARE(failureOf([&] { createProfileFile(taken, profile); }), taken + ": File exists");
        QCOMPARE(f.contentOf("Taken.prx"), "theirs");
        QCOMPARE(f.entries(), QStringList{"Taken.prx"});

        const QFile::Permissions permissions = QFileInfo(taken).permissions();
        writeProfileFile(taken, profile);
        QCOMPARE(readProfileFile(taken).name, "Taken");
        QCOMPARE(QFileInfo(taken).permissions(), permissions);
    }

    // A profile folder that is not there yet is shown empty and made by the first save.
    void missingFolderIsMadeOnSave()
    {
        EditorFixture f;
        f.open("Profiles");
        QVERIFY(f.listTexts().last().startsWith("No profiles yet"));
        f.click("newButton");
        f.click("saveButton");
        QCOMPARE(f.prompts.errors, QStringList());
        QCOMPARE(entriesOf(f.path("Profiles")), QStringList{"New profile.prx"});
    }

    // The build puts the editor where Settings / Profile Editor starts it, and it answers.
    void programStartsTheBuiltEditor()
    {
        QProcess editor;
        editor.start(qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C")
                             + "/Program Files/Windows Media Components/Encoder/WMProEdt.exe",
                     {"--help"});
        QVERIFY(editor.waitForFinished(30000));
        QCOMPARE(editor.exitCode(), 0);
        QVERIFY(editor.readAllStandardOutput().contains("--profiles"));
    }
};

QTEST_MAIN(TestEditorFiles)
#include "test_editor_files.moc"
