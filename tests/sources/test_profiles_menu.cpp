#include "sources_window.h"

#include <QComboBox>
#include <QFile>
#include <QtTest>

namespace {

const QString profileFolder
        = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\Profiles\\");
const QString programFolder = QStringLiteral("C:\\Program Files\\Clipferry\\");
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

QByteArray contentOf(const QString &nativePath)
{
    QFile file(nativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

class TestProfilesMenu : public QObject
{
    Q_OBJECT
private slots:
    void choosingProfile_data();
    void choosingProfile();
    void currentProfile_data();
    void currentProfile();
    void withoutEncoderNothingFails();
    void profileSetup_data();
    void profileSetup();
    void profileEditor_data();
    void profileEditor();
};

void TestProfilesMenu::choosingProfile_data()
{
    QTest::addColumn<QStringList>("profiles");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("groupProfile");
    QTest::addColumn<int>("lastRead");

    const QStringList twice{"Kestrel Medium", "Twice", "Twice", "Other"};
    QTest::newRow("another profile") << kestrel << "Kestrel High" << 0 << 0;
    // The first profile of a name that stands twice is chosen, whichever entry was picked.
    QTest::newRow("name twice") << twice << "Twice" << 1 << 1;
    // No match: the group keeps its profile; the walk ended on the last one.
    QTest::newRow("no such name") << twice << "Unknown" << 0 << 3;
    QTest::newRow("other letter case") << kestrel << "kestrel high" << 2 << 2;
}

void TestProfilesMenu::choosingProfile()
{
    QFETCH(QStringList, profiles);
    QFETCH(QString, text);
    SourcesWindow window(profiles);
    Form1 &form = *window.form;

    form.Combo1->setEditText(text);
    form.Combo1_Click();

    QTEST(indexOfProfile(form, form.SourceGroup->profile()), "groupProfile");
    QTEST(indexOfProfile(form, form.Profile), "lastRead");
    QCOMPARE(window.dialogs.texts(), QStringList());
}

void TestProfilesMenu::currentProfile_data()
{
    QTest::addColumn<QStringList>("profiles");
    QTest::addColumn<QString>("shown");
    QTest::newRow("after start") << kestrel << "Kestrel Medium";
    // Start-up's walk ended on the last profile, although none was handed to the group.
    QTest::newRow("start without Kestrel Medium") << QStringList{"Alpha", "Beta"} << "Beta";
    QTest::newRow("no profiles") << QStringList() << "No profile has been chosen.";
}

void TestProfilesMenu::currentProfile()
{
    QFETCH(QStringList, profiles);
    SourcesWindow window(profiles);

    window.form->mnuCurrentProfile->trigger();

    QFETCH(QString, shown);
    QCOMPARE(window.dialogs.texts(), QStringList{shown});
}

void TestProfilesMenu::withoutEncoderNothingFails()
{
    SourcesWindow window(kestrel, SourcesWindow::Encoder::FailsToStart);

    window.form->mnuCurrentProfile->trigger();
    window.form->Combo1->setEditText(QStringLiteral("Kestrel High"));
    window.form->Combo1_Click();

    QCOMPARE(window.dialogs.texts(),
             (QStringList{"No profile has been chosen.",
                          "No profile can be chosen: the encoder could not be started."}));
}

void TestProfilesMenu::profileSetup_data()
{
    QTest::addColumn<QStringList>("installed"); // already in the profile folder
    QTest::addColumn<QStringList>("shipped");   // beside the program
    QTest::addColumn<QString>("windowsDrive");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("outcome"); // the last box; empty: no box after the question
    QTest::addColumn<QStringList>("copied");

    const QString missing = QStringLiteral("Kestrel Profiles are not installed completely.");
    const QString present = QStringLiteral("Kestrel Profiles are allready installed.");
    const QString done
            = QStringLiteral("Files copied. Restart Clipferry\r\nfor changes to take effect.");
    const QStringList none;

    QTest::newRow("none, No") << none << kestrel << "C" << false << missing << QString() << none;
    QTest::newRow("none, Yes") << none << kestrel << "C" << true << missing << done << kestrel;
    QTest::newRow("one, Yes") << QStringList{"Kestrel Medium"} << kestrel << "C" << true << missing
                              << done << kestrel;
    QTest::newRow("three, No") << kestrel << kestrel << "C" << false << present << QString()
                               << none;
    QTest::newRow("three, Yes") << kestrel << kestrel << "C" << true << present << done << kestrel;
    // The profile folder stays on drive C wherever Windows lives.
    QTest::newRow("Windows on D") << none << kestrel << "D" << true << missing << done << kestrel;
    // A missing file is reported by name; the other two are still copied.
    QTest::newRow("one not shipped")
            << none << QStringList{"Kestrel High", "Kestrel Medium"} << "C" << true << missing
            << "Kestrel Low.prx" << QStringList{"Kestrel High", "Kestrel Medium"};
    QTest::newRow("nothing shipped")
            << kestrel << none << "C" << true << present << "Kestrel Medium.prx" << none;
}

void TestProfilesMenu::profileSetup()
{
    QFETCH(QStringList, installed);
    QFETCH(QStringList, shipped);
    QFETCH(QString, windowsDrive);
    QFETCH(bool, yes);
    QFETCH(QString, outcome);
    QFETCH(QStringList, copied);
    SourcesWindow window;
    window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed);
    window.values.WinDrive = windowsDrive;
    for (const QString &name : installed)
        window.machine.writeFile(profileFolder + name + ".prx", "old");
    for (const QString &name : shipped)
        window.machine.writeFile(programFolder + name + ".prx", "shipped " + name.toUtf8());
    yes ? window.dialogs.answerYes() : window.dialogs.answerNo();

    window.form->mnuProfileSetup->trigger();

    const QStringList texts = window.dialogs.texts();
    QFETCH(QString, question);
    QCOMPARE(texts.value(0), question + "\r\nCopy files to Windows Media Encoder directory?");
    QCOMPARE(texts.size(), outcome.isEmpty() ? 1 : 2);
    if (!outcome.isEmpty())
        QVERIFY2(texts.last().contains(outcome), qPrintable(texts.last()));
    for (const QString &name : kestrel) {
        const QByteArray before = installed.contains(name) ? "old" : "(none)";
        const QByteArray expected = copied.contains(name) ? "shipped " + name.toUtf8() : before;
        QCOMPARE(contentOf(window.machine.native(profileFolder + name + ".prx")), expected);
    }
}

void TestProfilesMenu::profileEditor_data()
{
    QTest::addColumn<QString>("windowsDrive");
    QTest::addColumn<QString>("installedOn"); // drive holding the editor; empty: none
    QTest::addColumn<QString>("started");     // drive of the editor started; empty: none

    QTest::newRow("installed") << "C"
                               << "C"
                               << "C";
    QTest::newRow("Windows on D") << "D"
                                  << "D"
                                  << "D";
    QTest::newRow("not installed") << "C" << QString() << QString();
    QTest::newRow("only on C, Windows on D") << "D"
                                             << "C" << QString();
    QTest::newRow("Windows drive unknown") << QString() << "C" << QString();
}

void TestProfilesMenu::profileEditor()
{
    QFETCH(QString, windowsDrive);
    QFETCH(QString, installedOn);
    QFETCH(QString, started);
    SourcesWindow window;
    window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed);
    window.values.WinDrive = windowsDrive;
    if (!installedOn.isEmpty()) {
        QFile program(window.machine.writeFile(installedOn + editor));
        QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
    }

    window.form->mnuProfileEditor->trigger();

    QCOMPARE(window.dialogs.texts(), QStringList());
    QCOMPARE(window.machine.launches().size(), started.isEmpty() ? 0 : 1);
    if (!started.isEmpty())
        QCOMPARE(window.machine.launches().first().program,
                 window.machine.native(started + editor));
}

QTEST_MAIN(TestProfilesMenu)
#include "test_profiles_menu.moc"
