// The profile editor's window on a temporary profile folder, used through its widgets.

#include "editor_fixture.h"

#include "profiles/prx_format.h"

#include <QComboBox>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>

namespace {

QByteArray prx(const QString &name)
{
    ProfileSettings profile;
    profile.name = name;
    return profileText(profile).toUtf8();
}

const QStringList BuiltIns = {"Low bandwidth video (100 Kbps)",
                              "Standard video (300 Kbps)",
                              "High quality video (800 Kbps)"};

} // namespace

class TestEditorWindow : public QObject
{
    Q_OBJECT
private slots:
    // Built-ins (read only), the folder's profiles by file name, named by their content, and
    // unusable files with their reason (not changeable); the first profile is chosen.
    void listsBuiltInsThenFiles()
    {
        EditorFixture f;
        const QByteArray binary("\x00\xff\xfe[Clipferry", 12);
        f.write("A.prx", prx("Zulu"));
        f.write("b.prx", prx("Beta"));
        f.write("c.prx", binary);
        f.write("d.prx", prx("D").replace("Channels=2", "Channels=6"));
        f.write("e.prx", prx("E") + QByteArray(100 * 1024, ';'));
        f.write("notes.txt", "not a profile");
        f.open();
        const QString notOurs = "c.prx: this is not a Clipferry profile (it does not begin with "
                                "[Clipferry Profile])";
        QCOMPARE(f.listTexts(),
                 (QStringList{"Built-in (read only)"} + BuiltIns
                  + QStringList{"Profile folder",
                                "Zulu",
                                "Beta",
                                notOurs,
                                "d.prx: there must be 1 or 2 audio channels",
                                "e.prx: the file is too large to be a profile"}));
        QCOMPARE(f.name(), "Zulu");

        f.choose(notOurs);
        QVERIFY(!f.find<QLineEdit>("name")->isVisible());
        QVERIFY(f.find<QLabel>("note")->text().contains(notOurs));
        for (const char *button : {"saveButton", "deleteButton", "duplicateButton", "revertButton"})
            QVERIFY2(!f.enabled(button), button);
        QCOMPARE(f.contentOf("c.prx"), binary);

        f.choose(BuiltIns[1]);
        QVERIFY(f.find<QLineEdit>("name")->isReadOnly() && f.find<QSpinBox>("width")->isReadOnly());
        QVERIFY(!f.find<QComboBox>("channels")->isEnabled());
        QVERIFY(f.find<QLabel>("note")->text().contains("cannot be changed"));
        QVERIFY(!f.enabled("saveButton") && !f.enabled("deleteButton")
                && f.enabled("duplicateButton"));
    }

    // Every field is saved, and the profile is shown as saved.
    void everyFieldIsSaved()
    {
        EditorFixture f;
        f.writeKestrel("Medium");
        f.open();
        f.choose("Kestrel Medium");
        f.type("description", "Train");
        f.type("width", "240");
        f.type("height", "176");
        f.type("frameRate", "29.97");
        f.type("videoBitRate", "250000");
        f.type("keyFrameSeconds", "2.5");
        f.type("audioBitRate", "32000");
        f.find<QComboBox>("sampleRate")
                ->setCurrentIndex(f.find<QComboBox>("sampleRate")->findData(22050));
        f.find<QComboBox>("channels")->setCurrentIndex(0);
        f.click("saveButton");
        const ProfileSettings want{
                "Kestrel Medium", "Train", 240, 176, 29.97, 250000, 2.5, 32000, 22050, 1};
        QCOMPARE(profileText(readProfileFile(f.path("Kestrel Medium.prx"))), profileText(want));
        QVERIFY(f.listTexts().contains("Kestrel Medium") && !f.enabled("saveButton"));
        QVERIFY(f.window().statusBar()->currentMessage().contains("next start"));
        QCOMPARE(f.entries(), QStringList{"Kestrel Medium.prx"});
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("newName"); // empty: only the description changes
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("listed"); // the folder's profiles
        QTest::addColumn<QStringList>("saved");  // the file written, the name in it
        QTest::newRow("a rename moves the file")
                << "Kestrel Medium"
                << "Another Clip" << QStringList{"Another Clip.prx", "odd file name.prx"}
                << QStringList{"Another Clip", "Aardvark"}
                << QStringList{"Another Clip.prx", "Another Clip"};
        QTest::newRow("otherwise the file name stays")
                << "Aardvark"
                << "" << QStringList{"Kestrel Medium.prx", "odd file name.prx"}
                << QStringList{"Kestrel Medium", "Aardvark"}
                << QStringList{"odd file name.prx", "Aardvark"};
    }

    void fileNames()
    {
        QFETCH(QString, profile);
        QFETCH(QString, newName);
        EditorFixture f;
        f.writeKestrel("Medium");
        f.write("odd file name.prx", prx("Aardvark"));
        f.open();
        f.choose(profile);
        f.type("description", "changed");
        if (!newName.isEmpty())
            f.type("name", newName);
        f.click("saveButton");
        QTEST(f.entries(), "entries");
        QTEST(f.listTexts().mid(5), "listed");
        QFETCH(QStringList, saved);
        const ProfileSettings read = readProfileFile(f.path(saved[0]));
        QCOMPARE(QStringList({read.name, read.description}), QStringList({saved[1], "changed"}));
    }

    void invalidValuesBlockSave_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *tag, const char *field, const char *value, QString reason) {
            QTest::newRow(tag) << QByteArray(field) << QString(value) << reason;
        };
        const auto taken = [](const char *name) {
            return QStringLiteral("Another profile is already named \"%1\"").arg(name);
        };
        const char *badName
                = "A name cannot begin with a full stop or contain any of \\ / : * ? \" < > |";
        row("no name", "name", "  ", "The profile has no name");
        row("name of another file", "name", "Kestrel High", taken("Kestrel High"));
        row("built-in name",
            "name",
            "standard VIDEO (300 kbps)",
            taken("standard VIDEO (300 kbps)"));
        row("not a file name", "name", "Clips 1/2", badName);
        row("hidden file", "name", ".secret", badName);
        row("odd width", "width", "321", "The video width must be an even number");
        row("tall", "height", "1200", "The video height must be between 16 and 1088");
        row("frame rate", "frameRate", "75", "The frame rate must be between 1 and 60");
        row("thin video", "videoBitRate", "5000", "The video bit rate must be at least 10000");
        row("no key frames",
            "keyFrameSeconds",
            "0",
            "The key frame distance must be more than 0 and at most 60 seconds");
        row("audio too thin", "audioBitRate", "20000", "The audio bit rate must be at least 24000");
    }

    // A refused value shows its reason beside the field and keeps Save off; Revert clears it.
    void invalidValuesBlockSave()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        EditorFixture f;
        f.writeKestrel("High");
        f.writeKestrel("Medium");
        f.open();
        f.choose("Kestrel Medium");
        f.type(field.constData(), value);
        QCOMPARE(f.reason(field.constData()), reason);
        QVERIFY(!f.enabled("saveButton") && f.enabled("revertButton"));
        f.click("revertButton");
        QCOMPARE(f.reason(field.constData()), QString());
        QCOMPARE(f.name(), "Kestrel Medium");
        QVERIFY(!f.enabled("revertButton"));
    }

    // New and Duplicate pick a free name; unsaved ones are marked, after the folder's files.
    void newAndDuplicateGetFreeNames()
    {
        EditorFixture f;
        f.writeKestrel("Medium");
        f.open();
        f.choose("Kestrel Medium");
        f.click("duplicateButton");
        QCOMPARE(f.name(), "Kestrel Medium copy");
        f.click("saveButton");
        f.choose("Kestrel Medium");
        f.click("duplicateButton");
        QCOMPARE(f.name(), "Kestrel Medium copy 2");

        f.choose(BuiltIns[0]);
        f.click("duplicateButton");
        QCOMPARE(f.name(), BuiltIns[0] + " copy");
        QVERIFY(!f.find<QLineEdit>("name")->isReadOnly());
        QCOMPARE(f.find<QSpinBox>("width")->value(), 176);

        f.click("newButton");
        f.type("name", "My Clip");
        f.click("saveButton");
        QCOMPARE(f.listTexts().mid(5),
                 QStringList({"Kestrel Medium copy", // the encoder's order: blank before dot
                              "Kestrel Medium",
                              "My Clip",
                              "Kestrel Medium copy 2 *",
                              BuiltIns[0] + " copy *"}));
        QCOMPARE(f.entries(),
                 QStringList({"Kestrel Medium copy.prx", "Kestrel Medium.prx", "My Clip.prx"}));
    }

    // Delete asks, naming the file; No keeps it, Yes deletes it.
    void deleteAsks()
    {
        EditorFixture f;
        f.writeKestrel("Low");
        f.writeKestrel("Medium");
        f.open();
        f.choose("Kestrel Low");
        f.prompts.answers = {false, true};
        f.click("deleteButton");
        QCOMPARE(f.entries(), QStringList({"Kestrel Low.prx", "Kestrel Medium.prx"}));
        f.click("deleteButton");
        QCOMPARE(f.entries(), QStringList{"Kestrel Medium.prx"});
        QCOMPARE(f.prompts.questions.size(), 2);
        QVERIFY2(f.prompts.questions.first().contains("Kestrel Low.prx"),
                 qPrintable(f.prompts.questions.first()));
        QVERIFY(!f.listTexts().contains("Kestrel Low"));
        QCOMPARE(f.name(), "Kestrel Medium");
    }

    // Closing with an unsaved change asks; No keeps the window open, Yes closes unsaved.
    void closingUnsavedAsks()
    {
        EditorFixture f;
        f.writeKestrel("Medium");
        f.open();
        f.choose("Kestrel Medium");
        f.type("width", "640");
        f.prompts.answers = {false, true};
        QVERIFY(!f.window().close());
        QVERIFY(f.window().isVisible());
        QVERIFY(f.window().close());
        QCOMPARE(f.prompts.questions.size(), 2);
        QCOMPARE(readProfileFile(f.path("Kestrel Medium.prx")).width, 320);
        QCOMPARE(f.prompts.errors, QStringList());
    }

    // The status line follows an unsaved profile's name as typed, tells the name it was saved
    // under (a later rename does not change that), and names the folder again once Revert has
    // dropped the new profile.
    void statusLineFollowsRename()
    {
        EditorFixture f;
        f.open();
        const QStatusBar *status = f.window().statusBar();
        const QString folderLine = status->currentMessage();
        const QStringList listed = f.listTexts();
        f.click("newButton");
        QCOMPARE(status->currentMessage(), "\"New profile\" is not saved yet.");
        f.type("name", "Evening");
        QCOMPARE(status->currentMessage(), "\"Evening\" is not saved yet.");
        f.click("revertButton");
        QCOMPARE(f.listTexts(), listed);
        QCOMPARE(status->currentMessage(), folderLine);

        f.click("newButton");
        f.click("newButton");
        f.choose("New profile *");
        f.click("revertButton"); // the first one goes; the line still names the second
        QCOMPARE(status->currentMessage(), "\"New profile 2\" is not saved yet.");
        f.choose("New profile 2 *");
        f.type("name", "Night");
        QCOMPARE(status->currentMessage(), "\"Night\" is not saved yet.");
        f.click("saveButton");
        const QString saved = status->currentMessage();
        QVERIFY2(saved.startsWith("Saved \"Night\" in Night.prx."), qPrintable(saved));
        f.type("name", "Later");
        QCOMPARE(status->currentMessage(), saved);
    }

    // The editor comes up over the caller's window, kept whole on the screen.
    void placedOverTheCaller()
    {
        EditorFixture f;
        ProfileEditorWindow &window = f.open();
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY(screen.contains(QRect(screen.topLeft(), window.frameGeometry().size())));
        window.placeOver(screen.center() + QPoint(10, 20));
        QVERIFY((window.frameGeometry().center() - screen.center() - QPoint(10, 20))
                        .manhattanLength()
                <= 2);
        window.placeOver(screen.topLeft());
        QCOMPARE(window.frameGeometry().topLeft(), screen.topLeft());
        window.placeOver(screen.bottomRight());
        QCOMPARE(window.frameGeometry().bottomRight(), screen.bottomRight());
    }
};

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
