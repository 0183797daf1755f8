#include "checks.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QtTest>

namespace {

const QString profilesFolderPath
        = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\Profiles\\");
const QString editor
        = QStringLiteral(":\\Program Files\\Windows Media Components\\Encoder\\WMProEdt.exe");
const QStringList kestrel{"Kestrel High", "Kestrel Low", "Kestrel Medium"};

int indexOfProfile(Form1 &form, const EncoderProfile *profile)
{
    for (int index = 0;
         form.profilesMenu().Profiles && index < form.profilesMenu().Profiles->count();
         ++index) {
        if (&form.profilesMenu().Profiles->item(index) == profile)
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
    void choosingProfile_data()
    {
        QTest::addColumn<QStringList>("profiles");
        QTest::addColumn<bool>("encoderStarts");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("shown"); // Current Profile, the choice, Current Profile
        QTest::addColumn<int>("groupProfile");
        QTest::addColumn<int>("lastRead");
        const QString none = QStringLiteral("No profile has been chosen.");
        const QStringList twice{"Kestrel Medium", "Twice", "Twice", "Other"};
        const auto row
                = [&](auto name, QStringList p, auto c, QStringList shown, int group, int last) {
                      QTest::newRow(name) << p << true << QString(c) << shown << group << last;
                  };
        row("after start", kestrel, "Kestrel High", {"Kestrel Medium", "Kestrel High"}, 0, 0);
        // The first of a name that stands twice is chosen; no exact match changes nothing.
        row("name twice", twice, "Twice", {"Kestrel Medium", "Twice"}, 1, 1);
        row("other letter case", twice, "twice", {"Kestrel Medium", "Kestrel Medium"}, 0, 0);
        // Start-up's walk ended on the last profile, although none was handed to the group.
        row("start without Kestrel Medium", {"Alpha", "Beta"}, "Alpha", {"Beta", "Alpha"}, 0, 0);
        row("no profiles", {}, "Kestrel High", {none, none}, -1, -1);
        const QString cannot = "No profile can be chosen: the encoder could not be started.";
        QTest::newRow("no encoder") << kestrel << false << "Kestrel High"
                                    << QStringList{none, cannot, none} << -1 << -1;
    }

    // "Current Profile" names the profile last read; a choice needs an exact name and an encoder.
    void choosingProfile()
    {
        QFETCH(QStringList, profiles);
        QFETCH(bool, encoderStarts);
        QFETCH(QString, choice);
        WindowFixture window;
        window.install(true, false);
        Form1 &form = encoderStarts ? window.open(profiles) : window.openFailing("no engine");
        window.dialogs.clear();
        form.mnuCurrentProfile->trigger();
        form.Combo1->setEditText(choice);
        form.Combo1_Click();
        form.mnuCurrentProfile->trigger();

        QTEST(window.dialogs.texts(), "shown");
        QTEST(indexOfProfile(form,
                             form.jobSetup().SourceGroup ? form.jobSetup().SourceGroup->profile()
                                                         : nullptr),
              "groupProfile");
        QTEST(indexOfProfile(form, form.profilesMenu().Profile), "lastRead");
    }

    void profileSetup_data()
    {
        QTest::addColumn<QStringList>("installed"); // already in the profile folder
        QTest::addColumn<QStringList>("shipped");   // beside the program
        QTest::addColumn<QString>("windowsDrive");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question"); // its first line
        QTest::addColumn<QString>("outcome");  // part of the last box; "" = none after the question
        QTest::addColumn<QStringList>("after"); // High, Low and Medium in the profile folder

        const QString all = "Kestrel Profiles are allready installed.";
        const QString part = "Kestrel Profiles are not installed completely.";
        const QString done = "Files copied. Restart Clipferry\r\nfor changes to take effect.";
        const QStringList none, old{"old", "old", "old"};
        QTest::newRow("one, Yes") << QStringList{"Kestrel Medium"} << kestrel << "C" << true << part
                                  << done << kestrel;
        QTest::newRow("three, No") << kestrel << kestrel << "C" << false << all << "" << old;
        // Files there are replaced; the profile folder is on C wherever Windows lives.
        QTest::newRow("three, Yes, Windows on D")
                << kestrel << kestrel << "D" << true << all << done << kestrel;
        // A failed copy is reported by name; the others are still made.
        QTest::newRow("one not shipped")
                << none << QStringList{"Kestrel High", "Kestrel Medium"} << "C" << true << part
                << "Kestrel Low.prx" << QStringList{"Kestrel High", "(none)", "Kestrel Medium"};
        QTest::newRow("nothing shipped")
                << kestrel << none << "C" << true << all << "Kestrel Medium.prx" << old;
    }

    // The question tells whether all three are there; Yes copies the shipped files over them.
    void profileSetup()
    {
        QFETCH(QStringList, installed);
        QFETCH(QStringList, shipped);
        QFETCH(QString, windowsDrive);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(QString, outcome);
        WindowFixture window;
        window.openInstalled();
        window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed);
        window.values.WinDrive = windowsDrive;
        for (const QString &name : installed)
            window.machine.writeFile(profilesFolderPath + name + ".prx", "old");
        for (const QString &name : shipped)
            window.machine.writeFile("C:\\Program Files\\Clipferry\\" + name + ".prx",
                                     name.toUtf8());
        window.answer({yes});

        window.form->mnuProfileSetup->trigger();

        const QStringList texts = window.dialogs.texts();
        QCOMPARE(texts.value(0), question + "\r\nCopy files to Windows Media Encoder directory?");
        QCOMPARE(texts.size(), outcome.isEmpty() ? 1 : 2);
        QVERIFY2(texts.last().contains(outcome), qPrintable(texts.last()));
        QStringList after;
        for (const QString &name : kestrel)
            after.append(contentOf(window.machine.native(profilesFolderPath + name + ".prx")));
        QTEST(after, "after");
    }

    void profileEditor_data()
    {
        QTest::addColumn<QString>("drives"); // the Windows drive ("-" unknown), the editor's drive
        QTest::addColumn<bool>("started");
        // The editor's path starts with the Windows drive; one that cannot start is passed over.
        QTest::newRow("Windows on D") << "DD" << true;
        QTest::newRow("only on C, Windows on D") << "DC" << false;
        QTest::newRow("Windows drive unknown") << "-C" << false;
    }

    void profileEditor()
    {
        QFETCH(QString, drives);
        QFETCH(bool, started);
        WindowFixture window;
        window.openInstalled();
        window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed);
        window.values.WinDrive = drives.at(0) == '-' ? QString() : drives.left(1);
        QFile program(window.machine.writeFile(drives.at(1) + editor));
        QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
        window.form->move(100, 50);

        window.form->mnuProfileEditor->trigger();

        QCOMPARE(window.dialogs.texts(), QStringList());
        QCOMPARE(window.machine.launches().size(), started ? 1 : 0);
        if (!started)
            return;
        QCOMPARE(window.machine.launches().first().program, window.machine.native("D" + editor));
        // Told where the window's middle is, the editor opens over it.
        const QPoint centre = window.form->frameGeometry().center();
        QCOMPARE(window.machine.launches().first().arguments,
                 QStringList(QString("--centre=%1,%2").arg(centre.x()).arg(centre.y())));
    }
};

QTEST_MAIN(TestProfilesMenu)
#include "test_profiles_menu.moc"
