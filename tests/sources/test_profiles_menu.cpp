#include "sources_window.h"

#include <QComboBox>
#include <QFile>
#include <QtTest>

namespace {

const QString profileFolder
        = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\Profiles\\");
const QString editor
        = QStringLiteral(":\\Program Files\\Windows Media Components\\Encoder\\WMProEdt.exe");
const QStringList kestrel{"Kestrel High", "Kestrel Low", "Kestrel Medium"};

int indexOfProfile(Form1 &form, const EncoderProfile *profile)
{
    for (int index = 0; index < form.Profiles->count(); ++index) {
        if (&form.Profiles->item(index) == profile)
            return index;
    }
    return -1;
}

} // namespace

// The profile choice in Combo1 and the Settings menu's profile entries.
class TestProfilesMenu : public QObject
{
    Q_OBJECT
private slots:
    void choosingProfile_data();
    void choosingProfile();
    void currentProfile_data();
    void currentProfile();
    void profileSetup_data();
    void profileSetup();
    void profileEditor_data();
    void profileEditor();
};

void TestProfilesMenu::choosingProfile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("groupProfile");
    QTest::addColumn<int>("lastRead");
    // The first profile of a name that stands twice is chosen. Without an exact match the
    // group keeps its profile (Kestrel Medium, from start-up); the walk ended on the last.
    QTest::newRow("name twice") << "Twice" << 1 << 1;
    QTest::newRow("no such name") << "Unknown" << 0 << 3;
    QTest::newRow("other letter case") << "twice" << 0 << 3;
}

void TestProfilesMenu::choosingProfile()
{
    QFETCH(QString, text);
    SourcesWindow window({"Kestrel Medium", "Twice", "Twice", "Other"});
    window.form->Combo1->setEditText(text);
    window.form->Combo1_Click();

    QTEST(indexOfProfile(*window.form, window.form->SourceGroup->profile()), "groupProfile");
    QTEST(indexOfProfile(*window.form, window.form->Profile), "lastRead");
    QCOMPARE(window.dialogs.texts(), QStringList());
}

void TestProfilesMenu::currentProfile_data()
{
    QTest::addColumn<QStringList>("profiles");
    QTest::addColumn<bool>("encoderStarts");
    QTest::addColumn<QStringList>("shown"); // Current Profile, a choice of Kestrel High, again
    const QString none = QStringLiteral("No profile has been chosen.");
    QTest::newRow("after start") << kestrel << true
                                 << QStringList{"Kestrel Medium", "Kestrel High"};
    // Start-up's walk ended on the last profile, although none was handed to the group.
    QTest::newRow("start without Kestrel Medium")
            << QStringList{"Alpha", "Beta"} << true << QStringList{"Beta", "Beta"};
    QTest::newRow("no profiles") << QStringList() << true << QStringList{none, none};
    QTest::newRow("no encoder") << kestrel << false
                                << QStringList{none,
                                               "No profile can be chosen: the encoder could "
                                               "not be started.",
                                               none};
}

// "Current Profile" names the profile last read, and says so when none ever was; a choice
// without an encoder says why it cannot be made.
void TestProfilesMenu::currentProfile()
{
    QFETCH(QStringList, profiles);
    QFETCH(bool, encoderStarts);
    SourcesWindow window(profiles, encoderStarts);
    window.form->mnuCurrentProfile->trigger();
    window.form->Combo1->setEditText(QStringLiteral("Kestrel High"));
    window.form->Combo1_Click();
    window.form->mnuCurrentProfile->trigger();
    QTEST(window.dialogs.texts(), "shown");
}

void TestProfilesMenu::profileSetup_data()
{
    QTest::addColumn<QStringList>("installed"); // already in the profile folder
    QTest::addColumn<QStringList>("shipped");   // beside the program
    QTest::addColumn<QString>("windowsDrive");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("outcome"); // part of the last box; "" = none after the question
    QTest::addColumn<QStringList>("copied");

    const QString done
            = QStringLiteral("Files copied. Restart Clipferry\r\nfor changes to take effect.");
    const QStringList none, medium{"Kestrel Medium"}, highMedium{"Kestrel High", "Kestrel Medium"};
    QTest::newRow("one, Yes") << medium << kestrel << "C" << true << done << kestrel;
    QTest::newRow("three, No") << kestrel << kestrel << "C" << false << "" << none;
    // Files already there are replaced; the profile folder stays on drive C wherever Windows
    // lives.
    QTest::newRow("three, Yes, Windows on D")
            << kestrel << kestrel << "D" << true << done << kestrel;
    // A failed copy is reported by name; the others are still made.
    QTest::newRow("one not shipped")
            << none << highMedium << "C" << true << "Kestrel Low.prx" << highMedium;
    QTest::newRow("nothing shipped")
            << kestrel << none << "C" << true << "Kestrel Medium.prx" << none;
}

// Asks whether to copy (the question tells whether all three are there), then copies the
// three shipped files over whatever is in the profile folder.
void TestProfilesMenu::profileSetup()
{
    QFETCH(QStringList, installed);
    QFETCH(QStringList, shipped);
    QFETCH(bool, yes);
    QFETCH(QString, outcome);
    QFETCH(QStringList, copied);
    SourcesWindow window;
    window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed);
    QFETCH(QString, windowsDrive);
    window.values.WinDrive = windowsDrive;
    for (const QString &name : installed)
        window.machine.writeFile(profileFolder + name + ".prx", "old");
    for (const QString &name : shipped)
        window.machine.writeFile("C:\\Program Files\\Clipferry\\" + name + ".prx", name.toUtf8());
    yes ? window.dialogs.answerYes() : window.dialogs.answerNo();

    window.form->mnuProfileSetup->trigger();

    const QStringList texts = window.dialogs.texts();
    QCOMPARE(texts.value(0),
             QString(installed.size() == 3 ? "Kestrel Profiles are allready installed."
                                           : "Kestrel Profiles are not installed completely.")
                     + "\r\nCopy files to Windows Media Encoder directory?");
    QCOMPARE(texts.size(), outcome.isEmpty() ? 1 : 2);
    QVERIFY2(texts.last().contains(outcome), qPrintable(texts.last()));
    for (const QString &name : kestrel) {
        QFile file(window.machine.native(profileFolder + name + ".prx"));
        const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
        QCOMPARE(content,
                 copied.contains(name)      ? name.toUtf8()
                 : installed.contains(name) ? QByteArray("old")
                                            : QByteArray());
    }
}

void TestProfilesMenu::profileEditor_data()
{
    QTest::addColumn<QString>("drives"); // the Windows drive ("-" unknown), the editor's drive
    QTest::addColumn<bool>("started");
    // The editor's path starts with the Windows drive; one that cannot start is passed over.
    QTest::newRow("Windows on D") << "DD" << true;
    QTest::newRow("only on C, Windows on D") << "DC" << false;
    QTest::newRow("Windows drive unknown") << "-C" << false;
}

void TestProfilesMenu::profileEditor()
{
    QFETCH(QString, drives);
    QFETCH(bool, started);
    SourcesWindow window;
    window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed);
    window.values.WinDrive = drives.at(0) == '-' ? QString() : drives.left(1);
    QFile program(window.machine.writeFile(drives.at(1) + editor));
    QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));

    window.form->mnuProfileEditor->trigger();

    QCOMPARE(window.dialogs.texts(), QStringList());
    QCOMPARE(window.machine.launches().size(), started ? 1 : 0);
    if (started)
        QCOMPARE(window.machine.launches().first().program, window.machine.native("D" + editor));
}

QTEST_MAIN(TestProfilesMenu)
#include "test_profiles_menu.moc"
