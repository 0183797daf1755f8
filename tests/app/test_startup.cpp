#include "app_fixture.h"

#include "common/error.h"
#include "platform/dialogs.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace {

enum class Answer { No, Yes };

void script(ScriptedDialogs &dialogs, const QList<Answer> &answers)
{
    for (Answer answer : answers)
        answer == Answer::Yes ? dialogs.answerYes() : dialogs.answerNo();
}

// The page the browser is sent to: the local page beside the program.
QString enginePageAddress(TempMachine &machine)
{
    const QString page
            = machine.native(QStringLiteral("C:\\Program Files\\Clipferry")) + "/engine.html";
    return QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void windowsFolder_data();
    void windowsFolder();
    void engineCheck_data();
    void engineCheck();
    void failingStartUp_data();
    void failingStartUp();
    void profileList_data();
    void profileList();
    void encoderSetUp();
    void downloadCommand_data();
    void downloadCommand();
    void unloadReleasesFileSystem();
    void messageBoxes_data();
    void messageBoxes();
    void shippedFiles();
};

void TestStartup::windowsFolder_data()
{
    QTest::addColumn<QString>("windowsFolder");
    QTest::addColumn<QString>("winDrive");
    QTest::addColumn<QStringList>("boxes");

    const QStringList none;
    QTest::newRow("C:\\Windows") << "C:\\Windows"
                                 << "C" << none;
    QTest::newRow("C:\\WINDOWS") << "C:\\WINDOWS"
                                 << "C" << none;
    QTest::newRow("C:\\WINNT") << "C:\\WINNT"
                               << "C" << none;
    // The engine is looked for on the Windows drive, and this machine has no D:.
    QTest::newRow("D:\\WINDOWS") << "D:\\WINDOWS"
                                 << "D" << QStringList{texts::startupQuestion("D")};
    QTest::newRow("D:\\WINNT") << "D:\\WINNT"
                               << "D" << QStringList{texts::startupQuestion("D")};
    QTest::newRow("small letters") << "c:\\windows"
                                   << "" << QStringList{texts::startupQuestion("")};
    QTest::newRow("other drive") << "E:\\Windows"
                                 << "" << QStringList{texts::startupQuestion("")};
    QTest::newRow("trailing separator") << "C:\\Windows\\"
                                        << "" << QStringList{texts::startupQuestion("")};
    QTest::newRow("other name") << "C:\\Wíndows"
                                << "" << QStringList{texts::startupQuestion("")};
}

void TestStartup::windowsFolder()
{
    QFETCH(QString, windowsFolder);
    QFETCH(QString, winDrive);
    QFETCH(QStringList, boxes);

    AppFixture app;
    app.installAll();
    app.machine.machine().setWindowsDirectory(windowsFolder);
    QCOMPARE(GetWinDir(), windowsFolder);
    Form1 &form = app.open();

    QCOMPARE(app.values.WinDrive, winDrive);
    QCOMPARE(app.boxes(), boxes);
    // An unrecognised Windows folder only costs the message: the program works on.
    QVERIFY(form.Encoder);
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("Kestrel Medium"));
    QVERIFY(app.machine.launches().isEmpty());
}

void TestStartup::engineCheck_data()
{
    QTest::addColumn<bool>("engineInstalled");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("browserStarted");

    QTest::newRow("installed") << true << QList<Answer>{Answer::Yes} << QStringList() << false;
    QTest::newRow("missing, No") << false << QList<Answer>{Answer::No}
                                 << QStringList{texts::startupQuestion("C")} << false;
    QTest::newRow("missing, Yes") << false << QList<Answer>{Answer::Yes}
                                  << QStringList{texts::startupQuestion("C")} << true;
}

void TestStartup::engineCheck()
{
    QFETCH(bool, engineInstalled);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, boxes);
    QFETCH(bool, browserStarted);

    AppFixture app;
    app.installBrowser();
    if (engineInstalled)
        app.installEngine();
    script(app.dialogs, answers);
    Form1 &form = app.open();

    QCOMPARE(app.boxes(), boxes);
    QCOMPARE(app.machine.launches().size(), browserStarted ? 1 : 0);
    if (browserStarted) {
        const TempMachine::Launch &launch = app.machine.launches().first();
        QCOMPARE(QFileInfo(launch.program).canonicalFilePath(),
                 QFileInfo(app.machine.native(AppFixture::browserPath)).canonicalFilePath());
        QCOMPARE(launch.arguments, QStringList{enginePageAddress(app.machine)});
    }
    // Start-up goes on whatever the answer.
    QVERIFY(form.Encoder);
    QCOMPARE(form.Combo1->count(), 3);
    QCOMPARE(form.SourceGroup->profile(), &form.Profiles->item(2));
}

void TestStartup::failingStartUp_data()
{
    QTest::addColumn<bool>("engineInstalled");
    QTest::addColumn<bool>("browserInstalled");
    QTest::addColumn<bool>("encoderFails");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("boxes");

    const QString failure
            = QStringLiteral("ok: The encoder engine could not be loaded: no worker.");
    QTest::newRow("no encoder") << true << true << true << QList<Answer>{Answer::No}
                                << QStringList{failure, texts::downloadQuestion};
    QTest::newRow("no encoder, no engine file")
            << false << true << true << QList<Answer>{Answer::No, Answer::No}
            << QStringList{texts::startupQuestion("C"),
                           failure,
                           texts::fileNotFound("C"),
                           texts::downloadQuestion};
    // The offer's Yes cannot start the browser: that failure ends start-up the same way.
    QTest::newRow("no browser") << false << false << false << QList<Answer>{Answer::Yes, Answer::No}
                                << QStringList{texts::startupQuestion("C"),
                                               texts::browserMissing,
                                               texts::fileNotFound("C"),
                                               texts::downloadQuestion};
}

void TestStartup::failingStartUp()
{
    QFETCH(bool, engineInstalled);
    QFETCH(bool, browserInstalled);
    QFETCH(bool, encoderFails);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, boxes);

    AppFixture app;
    if (engineInstalled)
        app.installEngine();
    if (browserInstalled)
        app.installBrowser();
    script(app.dialogs, answers);
    Form1 form(app.values, [&]() -> std::unique_ptr<MediaEncoder> {
        if (encoderFails)
            throw Error(QStringLiteral("The encoder engine could not be loaded: no worker."));
        return scriptedEncoder(&app.backend);
    });

    QCOMPARE(app.boxes(), boxes.replaceInStrings("%PAGE%", enginePageAddress(app.machine)));
    QVERIFY(!form.Encoder);
    QCOMPARE(form.Combo1->count(), 0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

void TestStartup::profileList_data()
{
    QTest::addColumn<QStringList>("profiles");
    QTest::addColumn<int>("chosen"); // -1: none
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("three") << QStringList{"Kestrel High", "Kestrel Low", "Kestrel Medium"} << 2
                           << QStringList();
    QTest::newRow("first of two") << QStringList{"Video 250", "Kestrel Medium", "Kestrel Medium"}
                                  << 1 << QStringList();
    QTest::newRow("other case") << QStringList{"Kestrel High", "kestrel medium"} << -1
                                << QStringList{texts::profileHint};
    QTest::newRow("trailing blank")
            << QStringList{"Kestrel Medium "} << -1 << QStringList{texts::profileHint};
    QTest::newRow("none") << QStringList() << -1 << QStringList{texts::profileHint};
}

void TestStartup::profileList()
{
    QFETCH(QStringList, profiles);
    QFETCH(int, chosen);
    QFETCH(QStringList, boxes);

    AppFixture app;
    app.installAll();
    Form1 &form = app.open(profiles);

    QStringList listed;
    for (int i = 0; i < form.Combo1->count(); ++i)
        listed.append(form.Combo1->itemText(i));
    QCOMPARE(listed, profiles);
    QCOMPARE(app.boxes(), boxes);
    QCOMPARE(form.Combo1->currentIndex(), chosen);
    if (chosen < 0) {
        QCOMPARE(form.Combo1->currentText(), QString());
        QCOMPARE(form.SourceGroup->profile(), nullptr);
    } else {
        QCOMPARE(form.Combo1->currentText(), QStringLiteral("Kestrel Medium"));
        QCOMPARE(form.SourceGroup->profile(), &form.Profiles->item(chosen));
    }
}

void TestStartup::encoderSetUp()
{
    AppFixture app;
    app.installAll();
    Form1 &form = app.open();

    QVERIFY(form.FileSys);
    QCOMPARE(form.PreprocessPasses, qint16(1));
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(form.SourceGroups->count(), 1);
    QCOMPARE(&form.SourceGroups->item(0), form.SourceGroup);
    QCOMPARE(form.SourceGroup->name(), QStringLiteral("SG_1"));
    QCOMPARE(form.VideoSource, form.SourceGroup->source(SourceVideo));
    QCOMPARE(form.AudioSource, form.SourceGroup->source(SourceAudio));
    QVERIFY(form.VideoSource && form.AudioSource);
    QCOMPARE(form.Profiles, &form.Encoder->profileCollection());
}

void TestStartup::downloadCommand_data()
{
    QTest::addColumn<QString>("windowsFolder");
    QTest::addColumn<bool>("engineInstalled");
    QTest::addColumn<bool>("browserInstalled");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("browserStarted");

    const QString windows = QStringLiteral("C:\\Windows");
    const QStringList question{texts::downloadQuestion};
    QTest::newRow("installed, No")
            << windows << true << true << QList<Answer>{Answer::No} << question << false;
    QTest::newRow("installed, Yes")
            << windows << true << true << QList<Answer>{Answer::Yes} << question << true;
    QTest::newRow("missing, Yes") << windows << false << true << QList<Answer>{Answer::Yes}
                                  << QStringList{texts::fileNotFound("C"), texts::downloadQuestion}
                                  << true;
    QTest::newRow("unknown Windows drive")
            << "E:\\Windows" << true << true << QList<Answer>{Answer::No}
            << QStringList{texts::fileNotFound(""), texts::downloadQuestion} << false;
    // The browser is on C: whatever the Windows drive.
    QTest::newRow("Windows on D:")
            << "D:\\WINDOWS" << true << true << QList<Answer>{Answer::Yes}
            << QStringList{texts::fileNotFound("D"), texts::downloadQuestion} << true;
    QTest::newRow("no browser") << windows << true << false << QList<Answer>{Answer::Yes}
                                << QStringList{texts::downloadQuestion, texts::browserMissing}
                                << false;
}

void TestStartup::downloadCommand()
{
    QFETCH(QString, windowsFolder);
    QFETCH(bool, engineInstalled);
    QFETCH(bool, browserInstalled);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, boxes);
    QFETCH(bool, browserStarted);

    AppFixture app;
    app.machine.machine().setWindowsDirectory(windowsFolder);
    if (engineInstalled)
        app.installEngine();
    if (browserInstalled)
        app.installBrowser();
    Form1 &form = app.open(); // start-up's own offer, if any, is answered No
    app.dialogs.clear();
    script(app.dialogs, answers);

    form.mnuDownload->trigger();

    QCOMPARE(app.boxes(), boxes.replaceInStrings("%PAGE%", enginePageAddress(app.machine)));
    QCOMPARE(app.machine.launches().size(), browserStarted ? 1 : 0);
    if (browserStarted)
        QCOMPARE(app.machine.launches().first().arguments,
                 QStringList{enginePageAddress(app.machine)});
}

void TestStartup::unloadReleasesFileSystem()
{
    AppFixture app;
    app.installAll();
    Form1 &form = app.open();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QVERIFY(form.close());
    QVERIFY(!form.FileSys);
    QVERIFY(!form.isVisible());
    // The encoder outlives the window's unload.
    QVERIFY(form.Encoder);
}

void TestStartup::messageBoxes_data()
{
    QTest::addColumn<bool>("question");
    QTest::addColumn<QString>("press"); // "yes", "no", "ok" or "close"
    QTest::addColumn<bool>("yes");

    QTest::newRow("OK") << false << "ok" << false;
    QTest::newRow("Yes") << true << "yes" << true;
    QTest::newRow("No") << true << "no" << false;
    QTest::newRow("closed") << true << "close" << false;
}

// The real message boxes: the title, the buttons, no icon, CR LF shown as line breaks.
void TestStartup::messageBoxes()
{
    QFETCH(bool, question);
    QFETCH(QString, press);
    QFETCH(bool, yes);

    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        if (press == QLatin1String("close"))
            box->reject();
        else
            box->button(press == QLatin1String("yes")  ? QMessageBox::Yes
                        : press == QLatin1String("no") ? QMessageBox::No
                                                       : QMessageBox::Ok)
                    ->click();
    });
    answer.start();

    const QString lines = QStringLiteral("first line\r\nsecond line");
    if (question)
        QCOMPARE(askYesNo(lines), yes);
    else
        msgBox(lines);

    QCOMPARE(title, QStringLiteral("Clipferry"));
    QCOMPARE(text, QStringLiteral("first line\nsecond line"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
}

// The build lays out the page and the browser command beside the program, as installed.
void TestStartup::shippedFiles()
{
    const QString driveC = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
    QVERIFY(!driveC.isEmpty());
    QFile page(driveC + "/Program Files/Clipferry/engine.html");
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(page.readAll()).contains(AppFixture::enginePath));
    const QFileInfo browser(driveC + "/Program Files/Internet Explorer/IEXPLORE.EXE");
    QVERIFY(browser.isFile());
    QVERIFY(browser.isExecutable());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
