#include "window_fixture.h"

#include <QComboBox>
#include <QFileInfo>
#include <QUrl>
#include <QtTest>

// The program's own texts, written out here as the user reads them.
namespace texts {

inline QString enginePathOn(const QString &winDrive)
{
    return winDrive + ":\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll";
}

// The combined question at start-up when the engine file is missing.
inline QString startupQuestion(const QString &winDrive)
{
    return "yn: File not found: \r\n" + enginePathOn(winDrive)
           + "\r\nClipferry only works with Windows Media Encoder 9 Series installed.\r\n\r\n"
             "Download Windows Media Encoder 9 Series?";
}

// The download command's own message about a missing engine file.
inline QString fileNotFound(const QString &winDrive)
{
    return "ok: File not found: \r\n" + enginePathOn(winDrive)
           + "\r\n\r\nClipferry only works with Windows Media Encoder 9 Series installed.";
}

inline const QString downloadQuestion = "yn: Download Windows Media Encoder 9 Series?";
inline const QString profileHint = "ok: Click Settings / Check Profile Setup\r\nto copy Pocket "
                                   "PC profiles to Windows Media Encoder directory.";
// The message names the browser, not the page.
inline const QString browserMissing
        = "ok: Cannot start C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE: file not found.";

} // namespace texts

namespace {

// The browser was started (or not) with the page beside the program as its address.
void checkBrowser(WindowFixture &app, bool started)
{
    QCOMPARE(app.machine.launches().size(), started ? 1 : 0);
    if (!started)
        return;
    const TempMachine::Launch &launch = app.machine.launches().first();
    QCOMPARE(QFileInfo(launch.program).canonicalFilePath(),
             QFileInfo(app.machine.native(WindowFixture::browserPath)).canonicalFilePath());
    const QString page = app.machine.native("C:\\Program Files\\Clipferry") + "/engine.html";
    QCOMPARE(launch.arguments, QStringList{QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)});
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void startUp_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<bool>("engine");
        QTest::addColumn<bool>("yes"); // the answer to the offer, if it is made
        QTest::addColumn<QStringList>("profiles");
        QTest::addColumn<QString>("winDrive");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<int>("chosen"); // -1: none, and the hint comes up

        const QStringList three{"Kestrel High", "Kestrel Low", "Kestrel Medium"};
        const auto row = [&](auto windows, bool engine, bool yes, auto drive, bool offer) {
            QTest::newRow(windows)
                    << QString(windows) << engine << yes << three << QString(drive) << offer << 2;
        };
        row("C:\\Windows", true, true, "C", false);
        row("C:\\WINDOWS", false, false, "C", true);
        row("C:\\WINNT", false, true, "C", true);
        // The engine is looked for on the Windows drive, and this machine has no D:.
        row("D:\\Windows", true, false, "D", true);
        row("c:\\windows", true, false, "", true);
        row("C:\\Windows\\", true, false, "", true);

        const auto profiles = [](const char *name, const QStringList &names, int chosen) {
            QTest::newRow(name) << QString("C:\\Windows") << true << false << names << QString("C")
                                << false << chosen;
        };
        profiles("first of two", {"V", "Kestrel Medium", "Kestrel Medium"}, 1);
        profiles("other case", {"Kestrel High", "kestrel medium"}, -1);
        profiles("trailing blank", {"Kestrel Medium "}, -1);
        profiles("no profiles", {}, -1);
    }

    // Windows drive, engine offer, encoder set up anyway, profiles; only "Kestrel Medium" chosen.
    void startUp()
    {
        QFETCH(QString, windows);
        QFETCH(bool, engine);
        QFETCH(bool, yes);
        QFETCH(QStringList, profiles);
        QFETCH(QString, winDrive);
        QFETCH(bool, offered);
        QFETCH(int, chosen);

        WindowFixture app;
        app.install(engine);
        app.machine.machine().setWindowsDirectory(windows);
        app.answer({yes});
        Form1 &form = app.open(profiles);

        QCOMPARE(app.values.WinDrive, winDrive);
        QStringList boxes;
        if (offered)
            boxes.append(texts::startupQuestion(winDrive));
        if (chosen < 0)
            boxes.append(texts::profileHint);
        QCOMPARE(app.boxes(), boxes);
        checkBrowser(app, offered && yes);
        QVERIFY(form.FileSys && !form.Timer1->isActive());

        QStringList listed;
        for (int i = 0; i < form.Combo1->count(); ++i)
            listed.append(form.Combo1->itemText(i));
        QCOMPARE(listed, profiles);
        QCOMPARE(form.Combo1->currentIndex(), chosen);
        QCOMPARE(form.jobSetup().SourceGroup->profile(),
                 chosen < 0 ? nullptr : &form.profilesMenu().Profiles->item(chosen));
    }

    // The offer's Yes cannot start the browser: the failure is described, start-up ends there,
    // and the window opens all the same.
    void browserMissingEndsStartUp()
    {
        WindowFixture app;
        app.install(false, false);
        app.answer({true});
        Form1 &form = app.open();

        QCOMPARE(app.boxes(), QStringList({texts::startupQuestion("C"), texts::browserMissing}));
        QVERIFY(!form.jobSetup().Encoder);
        QCOMPARE(form.Combo1->count(), 0);
        QVERIFY(QTest::qWaitForWindowExposed(&app.show()));
    }

    void brokenEngine_data()
    {
        QTest::addColumn<QString>("module"); // "link" to the build's, "none", or the content
        QTest::addColumn<QString>("worker");
        QTest::addColumn<QStringList>("boxes"); // how each box begins

        const QString failure = "ok: The encoder engine could not be loaded: C:\\Program "
                                "Files\\Windows Media Components\\Encoder\\";
        const QString download = texts::downloadQuestion;
        QTest::newRow("module missing")
                << "none"
                << "link"
                << QStringList{texts::startupQuestion("C"), failure + "WMEncEng.dll is missing."};
        QTest::newRow("worker missing")
                << "link"
                << "none" << QStringList{failure + "WMEncWorker is missing.", download};
        QTest::newRow("module not loadable")
                << "not a library"
                << "link" << QStringList{failure + "WMEncEng.dll: ", download};
        QTest::newRow("worker not executable")
                << "link"
                << "#!/bin/sh\n"
                << QStringList{failure + "WMEncWorker does not start (", download};
    }

    // The real encoder over a broken engine folder: each message once, naming the file, and the
    // download offered unless the engine check just did.
    void brokenEngine()
    {
        QFETCH(QString, module);
        QFETCH(QString, worker);
        QFETCH(QStringList, boxes);
        WindowFixture app;
        app.install(false);
        const QString built = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C")
                              + "/Program Files/Windows Media Components/Encoder/";
        const QString folder = "C:\\Program Files\\Windows Media Components\\Encoder\\";
        for (const auto &[name, how] :
             {std::pair{"WMEncEng.dll", module}, {"WMEncWorker", worker}}) {
            if (how == "link")
                QVERIFY(QFile::link(built + name, app.machine.native(folder + name)));
            else if (how != "none")
                app.machine.writeFile(folder + name, how.toUtf8());
        }
        const Form1 &form = app.openReal();

        const QStringList seen = app.boxes();
        QCOMPARE(seen.size(), boxes.size());
        for (qsizetype i = 0; i < seen.size(); ++i)
            QVERIFY2(seen[i].startsWith(boxes[i]), qPrintable(seen[i]));
        QVERIFY(!form.jobSetup().Encoder);
        QCOMPARE(form.Combo1->count(), 0);
        QVERIFY(QTest::qWaitForWindowExposed(&app.show()));
    }

    void downloadCommand_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<bool>("engine");
        QTest::addColumn<bool>("browser");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("boxes");

        const QString win = "C:\\Windows", ask = texts::downloadQuestion;
        const auto notFound = [&](const char *winDrive) {
            return QStringList{texts::fileNotFound(winDrive), ask};
        };
        QTest::newRow("installed, Yes") << win << true << true << true << QStringList{ask};
        QTest::newRow("unknown Windows drive, No")
                << "E:\\Windows" << true << true << false << notFound("");
        // The browser is on C: whatever the Windows drive.
        QTest::newRow("Windows on D:") << "D:\\WINDOWS" << true << true << true << notFound("D");
        QTest::newRow("no browser")
                << win << true << false << true << QStringList{ask, texts::browserMissing};
    }

    // The command always asks, after naming a missing engine file in a box of its own.
    void downloadCommand()
    {
        QFETCH(QString, windows);
        QFETCH(bool, engine);
        QFETCH(bool, browser);
        QFETCH(bool, yes);

        WindowFixture app;
        app.machine.machine().setWindowsDirectory(windows);
        app.install(engine, browser);
        Form1 &form = app.open(); // start-up's own offer, if any, is answered No
        app.dialogs.clear();
        app.answer({yes});
        form.mnuDownload->trigger();

        QTEST(app.boxes(), "boxes");
        checkBrowser(app, yes && browser);
    }

    // The build lays out the page and the browser command beside the program, as installed.
    void shippedFiles()
    {
        const QString driveC = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
        QFile page(driveC + "/Program Files/Clipferry/engine.html");
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(page.readAll()).contains(texts::enginePathOn("C")));
        QVERIFY(QFileInfo(driveC + "/Program Files/Internet Explorer/IEXPLORE.EXE").isExecutable());
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
