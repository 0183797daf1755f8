// The profile editor's window on a temporary profile folder, used through its widgets.

#include "editor_fixture.h"

#include "profiles/prx_format.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {

QByteArray prx(const QString &name, int width = 320)
{
    ProfileSettings profile;
    profile.name = name;
    profile.width = width;
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
    void listsBuiltInsThenFilesInFileNameOrder();
    void builtInsAreReadOnly();
    void malformedFilesAreReportedAndLeftAlone_data();
    void malformedFilesAreReportedAndLeftAlone();
    void editAndSaveRoundTrips();
    void renameMovesTheFile();
    void invalidValuesBlockSave_data();
    void invalidValuesBlockSave();
    void newAndDuplicateGetFreeNames();
    void deleteAsksFirst();
    void revertAndCloseKeepNothingUnsaved();
};

void TestEditorWindow::listsBuiltInsThenFilesInFileNameOrder()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Medium"));
    f.write(QStringLiteral("b.prx"), prx(QStringLiteral("Beta")));
    f.write(QStringLiteral("A.prx"), prx(QStringLiteral("Zulu"))); // the name is the content's
    f.write(QStringLiteral("notes.txt"), "not a profile");
    f.open();

    QCOMPARE(f.listTexts(),
             (QStringList{"Built-in (read only)"} + BuiltIns
              + QStringList{"Profile folder", "Zulu", "Beta", "Kestrel Medium"}));
    // The editor starts on the folder's first profile, ready to edit.
    QCOMPARE(f.find<QLineEdit>("name")->text(), QStringLiteral("Zulu"));
    QVERIFY(!f.find<QLineEdit>("name")->isReadOnly());
    // The encoder reads the same profiles in the same order.
    QStringList encoderOrder;
    for (const ProfileSettings &p : builtInProfiles() + profilesInFolder(f.folder()))
        encoderOrder.append(p.name);
    QCOMPARE(encoderOrder, (BuiltIns + QStringList{"Zulu", "Beta", "Kestrel Medium"}));
}

void TestEditorWindow::builtInsAreReadOnly()
{
    EditorFixture f;
    f.open();
    f.choose(BuiltIns[1]);

    QCOMPARE(f.find<QLineEdit>("name")->text(), BuiltIns[1]);
    QVERIFY(f.find<QLineEdit>("name")->isReadOnly());
    QVERIFY(f.find<QSpinBox>("width")->isReadOnly());
    QVERIFY(!f.find<QComboBox>("channels")->isEnabled());
    QVERIFY(f.find<QLabel>("note")->text().contains(QStringLiteral("cannot be changed")));
    QVERIFY(!f.enabled("saveButton"));
    QVERIFY(!f.enabled("deleteButton"));
    QVERIFY(f.enabled("duplicateButton"));
    f.type("name", QStringLiteral("Mine"));
    QCOMPARE(f.find<QLineEdit>("name")->text(), BuiltIns[1]);
    QVERIFY(!f.enabled("saveButton"));
}

void TestEditorWindow::malformedFilesAreReportedAndLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray good = prx(QStringLiteral("Broken"));
    QTest::newRow("empty") << QByteArray() << "Broken.prx: the file is empty";
    QTest::newRow("another format")
            << QByteArray("<profile/>\n") << "Broken.prx: this is not a Clipferry profile";
    QTest::newRow("missing value") << QByteArray(good).replace("Channels=2\r\n", "")
                                   << "Broken.prx: the value Channels is missing";
    QTest::newRow("refused value") << QByteArray(good).replace("Channels=2", "Channels=6")
                                   << "Broken.prx: there must be 1 or 2 audio channels";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe[Clipferry", 12)
                            << "Broken.prx: this is not a Clipferry profile";
    QTest::newRow("huge") << good + QByteArray(100 * 1024, ';')
                          << "Broken.prx: the file is too large to be a profile";
}

void TestEditorWindow::malformedFilesAreReportedAndLeftAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    EditorFixture f;
    f.write(QStringLiteral("Broken.prx"), content);
    f.writeKestrel(QStringLiteral("Low"));
    f.open();

    const QString line = f.listTexts().at(5);
    QVERIFY2(line.startsWith(reason), qPrintable(line));
    f.choose(line);
    QVERIFY(!f.find<QLineEdit>("name")->isVisible());
    QVERIFY(f.find<QLabel>("note")->text().contains(reason));
    for (const char *button : {"saveButton", "deleteButton", "duplicateButton", "revertButton"})
        QVERIFY2(!f.enabled(button), button);

    // A new profile cannot take the file's name either.
    f.click("newButton");
    f.type("name", QStringLiteral("Broken"));
    QCOMPARE(f.reason("name"),
             QStringLiteral("The profile folder already holds a file named Broken.prx"));
    QVERIFY(!f.enabled("saveButton"));
    f.click("saveButton");
    QCOMPARE(f.contentOf(QStringLiteral("Broken.prx")), content);
    QCOMPARE(f.entries(), (QStringList{"Broken.prx", "Kestrel Low.prx"}));
}

void TestEditorWindow::editAndSaveRoundTrips()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Medium"));
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));

    f.type("description", QStringLiteral("For the train"));
    f.type("width", QStringLiteral("240"));
    f.type("height", QStringLiteral("176"));
    f.type("frameRate", QStringLiteral("29.97"));
    f.type("videoBitRate", QStringLiteral("250000"));
    f.type("keyFrameSeconds", QStringLiteral("2.5"));
    f.type("audioBitRate", QStringLiteral("32000"));
    f.find<QComboBox>("sampleRate")
            ->setCurrentIndex(f.find<QComboBox>("sampleRate")->findData(22050));
    f.find<QComboBox>("channels")->setCurrentIndex(0);
    QVERIFY(f.listTexts().contains(QStringLiteral("Kestrel Medium *")));
    QVERIFY(f.enabled("saveButton"));
    f.click("saveButton");

    QCOMPARE(f.prompts.errors(), QStringList());
    const ProfileSettings saved = readProfileFile(f.path(QStringLiteral("Kestrel Medium.prx")));
    ProfileSettings expected;
    expected.name = QStringLiteral("Kestrel Medium");
    expected.description = QStringLiteral("For the train");
    expected.width = 240;
    expected.height = 176;
    expected.maxFrameRate = 29.97;
    expected.videoBitRate = 250000;
    expected.keyFrameSeconds = 2.5;
    expected.audioBitRate = 32000;
    expected.sampleRate = 22050;
    expected.channels = 1;
    QCOMPARE(profileText(saved), profileText(expected));
    QVERIFY(f.listTexts().contains(QStringLiteral("Kestrel Medium")));
    QVERIFY(!f.enabled("saveButton"));
    QVERIFY2(f.status().contains(QStringLiteral("next start")), qPrintable(f.status()));
    QCOMPARE(f.entries(), QStringList{"Kestrel Medium.prx"}); // no temporary left behind
}

void TestEditorWindow::renameMovesTheFile()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Medium"));
    f.write(QStringLiteral("odd file name.prx"), prx(QStringLiteral("Aardvark")));
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));
    f.type("name", QStringLiteral("Another Clip"));
    f.click("saveButton");

    QCOMPARE(f.entries(), (QStringList{"Another Clip.prx", "odd file name.prx"}));
    QCOMPARE(readProfileFile(f.path(QStringLiteral("Another Clip.prx"))).name,
             QStringLiteral("Another Clip"));
    QCOMPARE(f.listTexts().mid(5), (QStringList{"Another Clip", "Aardvark"}));
    QCOMPARE(f.find<QLineEdit>("name")->text(), QStringLiteral("Another Clip"));

    // A profile whose name is unchanged keeps its file, whatever that file is called.
    f.choose(QStringLiteral("Aardvark"));
    f.type("description", QStringLiteral("still here"));
    f.click("saveButton");
    QCOMPARE(f.entries(), (QStringList{"Another Clip.prx", "odd file name.prx"}));
    QCOMPARE(readProfileFile(f.path(QStringLiteral("odd file name.prx"))).description,
             QStringLiteral("still here"));
}

void TestEditorWindow::invalidValuesBlockSave_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no name") << QByteArray("name") << "  "
                             << "The profile has no name";
    QTest::newRow("name of another file") << QByteArray("name") << "Kestrel High"
                                          << "Another profile is already named "
                                             "\"Kestrel High\"";
    QTest::newRow("built-in name, other case")
            << QByteArray("name") << "standard VIDEO (300 kbps)"
            << "Another profile is already named \"standard VIDEO (300 kbps)\"";
    QTest::newRow("not a file name")
            << QByteArray("name") << "Clips 1/2"
            << "A name cannot begin with a full stop or contain any of \\ / : * ? \" < > |";
    QTest::newRow("hidden file") << QByteArray("name") << ".secret"
                                 << "A name cannot begin with a full stop or contain any of \\ / "
                                    ": * ? \" < > |";
    QTest::newRow("odd width") << QByteArray("width") << "321"
                               << "The video width must be an even number";
    QTest::newRow("tall") << QByteArray("height") << "1200"
                          << "The video height must be between 16 and 1088";
    QTest::newRow("no frames") << QByteArray("frameRate") << "0"
                               << "The frame rate must be between 1 and 60";
    QTest::newRow("too fast") << QByteArray("frameRate") << "75"
                              << "The frame rate must be between 1 and 60";
    QTest::newRow("thin video") << QByteArray("videoBitRate") << "5000"
                                << "The video bit rate must be at least 10000";
    QTest::newRow("no key frames") << QByteArray("keyFrameSeconds") << "0"
                                   << "The key frame distance must be more than 0 and at most 60 "
                                      "seconds";
    QTest::newRow("audio too thin for WMA2") << QByteArray("audioBitRate") << "20000"
                                             << "The audio bit rate must be at least 24000";
    QTest::newRow("audio too rich") << QByteArray("audioBitRate") << "400000"
                                    << "The audio bit rate must be at most 320000";
}

void TestEditorWindow::invalidValuesBlockSave()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, value);
    QFETCH(QString, reason);
    EditorFixture f;
    f.writeKestrel(QStringLiteral("High"));
    f.writeKestrel(QStringLiteral("Medium"));
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));
    const QByteArray before = f.contentOf(QStringLiteral("Kestrel Medium.prx"));

    f.type(field.constData(), value);
    QCOMPARE(f.reason(field.constData()), reason);
    QVERIFY(!f.enabled("saveButton"));
    QVERIFY(f.enabled("revertButton"));
    f.click("saveButton");
    QCOMPARE(f.contentOf(QStringLiteral("Kestrel Medium.prx")), before);

    f.click("revertButton");
    QCOMPARE(f.reason(field.constData()), QString());
    QCOMPARE(f.find<QLineEdit>("name")->text(), QStringLiteral("Kestrel Medium"));
    QVERIFY(!f.enabled("revertButton"));
}

void TestEditorWindow::newAndDuplicateGetFreeNames()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Medium"));
    f.open();
    f.choose(QStringLiteral("Kestrel Medium"));
    f.click("duplicateButton");
    QCOMPARE(f.find<QLineEdit>("name")->text(), QStringLiteral("Kestrel Medium copy"));
    QVERIFY(f.enabled("saveButton")); // a copy is new until saved
    f.click("saveButton");
    f.choose(QStringLiteral("Kestrel Medium"));
    f.click("duplicateButton");
    QCOMPARE(f.find<QLineEdit>("name")->text(), QStringLiteral("Kestrel Medium copy 2"));

    f.choose(BuiltIns[0]);
    f.click("duplicateButton");
    QCOMPARE(f.find<QLineEdit>("name")->text(), BuiltIns[0] + QStringLiteral(" copy"));
    QVERIFY(!f.find<QLineEdit>("name")->isReadOnly());
    QCOMPARE(f.find<QSpinBox>("width")->value(), 176);

    f.click("newButton");
    f.type("name", QStringLiteral("My Clip"));
    f.click("saveButton");
    QCOMPARE(f.prompts.errors(), QStringList());
    QCOMPARE(readProfileFile(f.path(QStringLiteral("My Clip.prx"))).name,
             QStringLiteral("My Clip"));
    QCOMPARE(f.listTexts().mid(5),
             (QStringList{"Kestrel Medium copy", // the encoder's order: blank before dot
                          "Kestrel Medium",
                          "My Clip",
                          "Kestrel Medium copy 2 *",
                          BuiltIns[0] + " copy *"}));
    QCOMPARE(f.entries(),
             (QStringList{"Kestrel Medium copy.prx", "Kestrel Medium.prx", "My Clip.prx"}));
}

void TestEditorWindow::deleteAsksFirst()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Low"));
    f.writeKestrel(QStringLiteral("Medium"));
    f.open();
    f.choose(QStringLiteral("Kestrel Low"));

    f.prompts.answer(false);
    f.click("deleteButton");
    QCOMPARE(f.prompts.questions().size(), 1);
    QVERIFY2(f.prompts.questions().first().contains(QStringLiteral("Kestrel Low.prx")),
             qPrintable(f.prompts.questions().first()));
    QCOMPARE(f.entries(), (QStringList{"Kestrel Low.prx", "Kestrel Medium.prx"}));

    f.prompts.answer(true);
    f.click("deleteButton");
    QCOMPARE(f.entries(), QStringList{"Kestrel Medium.prx"});
    QVERIFY(!f.listTexts().contains(QStringLiteral("Kestrel Low")));
    QCOMPARE(f.find<QLineEdit>("name")->text(), QStringLiteral("Kestrel Medium"));
    QCOMPARE(f.prompts.errors(), QStringList());
}

void TestEditorWindow::revertAndCloseKeepNothingUnsaved()
{
    EditorFixture f;
    f.writeKestrel(QStringLiteral("Medium"));
    f.open();
    f.click("newButton");
    QVERIFY(f.listTexts().contains(QStringLiteral("New profile *")));
    f.click("revertButton"); // a new profile has nothing to go back to: it goes
    QVERIFY(!f.listTexts().contains(QStringLiteral("New profile *")));

    f.choose(QStringLiteral("Kestrel Medium"));
    f.type("width", QStringLiteral("640"));
    f.prompts.answer(false);
    QVERIFY(!f.window().close());
    QVERIFY(f.window().isVisible());
    f.prompts.answer(true);
    QVERIFY(f.window().close());
    QCOMPARE(f.prompts.questions().size(), 2);
    QCOMPARE(readProfileFile(f.path(QStringLiteral("Kestrel Medium.prx"))).width, 320);
}

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
