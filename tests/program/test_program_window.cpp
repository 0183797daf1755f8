// The real program on a real X display or in a Wayland session, started as main() starts it and
// used as a new user uses it: the first start's hint about the profiles, Settings / Check Profile
// Setup, a restart, the input folder C:\Samples picked in the folder browser, both sample clips
// selected, encode, "Status: ready", and two ".wmv" files from the real engine. Screenshots
// of the main window and of the folder browser go into the build folder.
//
// The program runs on a C: drive of its own in a temporary folder, set up from the build's
// C: drive the way an installed program sets up a user's drive, so nothing is written into
// the build's drive.

#include "desktop_user.h"
#include "modal_user.h"
#include "tree_clicks.h"

#include "app/form1.h"
#include "app/program.h"
#include "browser/form9.h"
#include "clip_generator.h"
#include "platform/machine.h"
#include "platform/user_drive.h"
#include "sources/file_list_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString EncoderDir = QStringLiteral("Program Files/Windows Media Components/Encoder");

void clickMenuEntry(QMainWindow &window, QMenu *menu, QAction *entry)
{
    QMenuBar *bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
}

void clickEntry(FileListBox &list, const QString &name, Qt::KeyboardModifiers modifiers)
{
    const QListWidgetItem *entry = list.findItems(name, Qt::MatchExactly).value(0);
    QVERIFY2(entry, qPrintable(name));
    QTest::mouseClick(
            list.viewport(), Qt::LeftButton, modifiers, list.visualItemRect(entry).center());
}

} // namespace

class TestProgramWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void aNewUserConvertsTheSamples();

private:
    QString driveC(const QString &path) const { return m_temp.path() + "/drive_c/" + path; }
    // Starts the program as main() does, for its executable on the temporary drive.
    bool start();
    Form1 &window() { return m_program->window(); }

    QTemporaryDir m_temp;
    std::unique_ptr<Program> m_program;
};

void TestProgramWindow::initTestCase()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("wayland"))
        QSKIP("Needs an X display or a Wayland session: run the tests under "
              "scripts/with-display.sh");
    QVERIFY(m_temp.isValid());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // A new user's drive: the installation's files, and no profiles set up yet.
    const QString build = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
    prepareUserDriveC(build, m_temp.path() + "/drive_c");
    QDir profiles(driveC(EncoderDir + "/Profiles"));
    for (const QString &name : profiles.entryList(QDir::Files))
        QVERIFY(profiles.remove(name));
}

bool TestProgramWindow::start()
{
    m_program.reset();
    if (!installMachineFor(driveC("Program Files/Clipferry/clipferry")))
        return false;
    m_program = std::make_unique<Program>();
    m_program->window().show();
    return QTest::qWaitForWindowExposed(&m_program->window());
}

void TestProgramWindow::aNewUserConvertsTheSamples()
{
    ModalUser user;
    QVERIFY(start());
    QCOMPARE(Machine::current().driveCRoot(), m_temp.path() + "/drive_c");
    QCOMPARE(user.texts,
             QStringList{"Click Settings / Check Profile Setup\nto copy Pocket PC profiles to "
                         "Windows Media Encoder directory."});
    user.answers = {QMessageBox::Yes};
    clickMenuEntry(window(), window().mnuProfile, window().mnuProfileSetup);
    QTRY_COMPARE(user.texts.size(), 3); // the question, then "Files copied. Restart ..."
    QVERIFY(window().close());

    // The restart: the profiles are there, no message comes up.
    user.texts.clear();
    QVERIFY(start());
    QCOMPARE(window().Combo1->currentText(), QStringLiteral("Kestrel Medium"));
    user.browse = [](Form9 &browser) {
        QVERIFY(clickPath(*browser.DirTree1, {"Clipferry (C:)", "Samples"}));
        desktop::saveScreenshot(browser, QStringLiteral("folder-browser.png"));
        QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
    };
    QTest::mouseClick(window().cmdInput, Qt::LeftButton);
    QVERIFY(!user.browse);
    QCOMPARE(window().File1->Path(), QStringLiteral("C:\\Samples"));

    clickEntry(*window().File1, QStringLiteral("AVSEQ01.DAT"), Qt::NoModifier);
    clickEntry(*window().File1, QStringLiteral("sample.mpg"), Qt::ControlModifier);
    QTest::mouseClick(window().cmdStart, Qt::LeftButton); // returns when the batch is done
    QTRY_COMPARE(window().Label6->text(), QStringLiteral("Status: ready"));
    QCOMPARE(user.texts, QStringList());
    desktop::saveScreenshot(window(), QStringLiteral("main-window.png"));

    // Kestrel Medium: 320 x 240, WMV2 video and WMA2 sound, as long as the input.
    for (const QString input : {"AVSEQ01.DAT", "sample.mpg"}) {
        const MediaFacts in = inspectMedia(driveC("Samples/" + input));
        const MediaFacts out = inspectMedia(driveC("Samples/" + input.section('.', 0, 0) + ".wmv"));
        QCOMPARE(out.videoCodec + ' ' + out.audioCodec, QStringLiteral("wmv2 wmav2"));
        QCOMPARE(QSize(out.width, out.height), QSize(320, 240));
        QVERIFY2(qAbs(out.durationMs - in.durationMs) < 1000, qPrintable(input));
    }
    QVERIFY(window().close());
    m_program.reset();
}

int main(int argc, char *argv[])
{
    // The xcb platform cannot start without a display: start offscreen and skip.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_program_window.moc"
