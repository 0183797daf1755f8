// The real program on a desktop of its own (on_desktop.sh): under a window manager, with
// none, in a Wayland session, at any scale factor. The main window keeps its laid-out size
// through a border drag, another program's resize request, a move, minimising and
// restoring; the folder browser, opened three times and each time dragged larger and
// smaller, keeps both buttons whole right under the tree; a screen reader can name every
// control (read through AT-SPI, as screen readers read it). Screenshots and the screen
// reader's listing go into the build folder.

#include "desktop_user.h"
#include "modal_user.h"
#include "tree_clicks.h"

#include "app/form1_layout.h"
#include "app/program.h"
#include "browser/form9.h"
#include "platform/machine.h"
#include "platform/user_drive.h"
#include "sources/file_list_box.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

QString describe(const Form9 &browser)
{
    return QStringLiteral("window %1x%2, tree bottom %3, OK at %4,%5")
            .arg(browser.width())
            .arg(browser.height())
            .arg(browser.DirTree1->geometry().bottom())
            .arg(browser.cmd[0]->x())
            .arg(browser.cmd[0]->y());
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mainWindowKeepsItsSize();
    void folderBrowserOnEveryOpening();
    void screenReaderNames();
    void cleanupTestCase() { m_program.reset(); }

private:
    Form1 &window() { return m_program->window(); }
    // One opening of the folder browser: laid out at once, then larger and smaller.
    void useBrowser(Form9 &browser, int opening);

    QTemporaryDir m_temp;
    std::unique_ptr<Program> m_program;
    ModalUser m_user;
};

void TestDesktop::initTestCase()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("wayland"))
        QSKIP("Needs a desktop: run it through tests/program/on_desktop.sh");
    QVERIFY(m_temp.isValid());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // A user's own drive with the profiles set up: the window opens without a message.
    const QString driveC = m_temp.path() + QStringLiteral("/drive_c");
    prepareUserDriveC(qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C"), driveC);
    const QDir shipped(driveC + QStringLiteral("/Program Files/Clipferry"));
    for (const QString &profile : shipped.entryList({QStringLiteral("*.prx")})) {
        QVERIFY(QFile::copy(shipped.filePath(profile),
                            driveC + QLatin1Char('/') + userdrive::profileFolder + QLatin1Char('/')
                                    + profile));
    }
    QVERIFY(installMachineFor(driveC + QStringLiteral("/Program Files/Clipferry/clipferry")));
    m_program = std::make_unique<Program>();
    window().show();
    QVERIFY(desktop::waitForFrame(window()));
    QVERIFY2(m_user.texts.isEmpty(), qPrintable(m_user.texts.join('\n')));
}

// The laid-out client area below the menu bar, the window whole on the screen, under every
// desktop; what the user or another program does to the frame does not change it.
void TestDesktop::mainWindowKeepsItsSize()
{
    Form1 &w = window();
    const QSize size = w.size();
    const QScreen &screen = *w.screen();
    QCOMPARE(w.centralWidget()->size(),
             form1ClientSize(screen.logicalDotsPerInchX(), screen.logicalDotsPerInchY()));
    if (QGuiApplication::platformName() == QLatin1String("xcb")) // a compositor places it
        QVERIFY(screen.availableGeometry().contains(w.frameGeometry()));
    desktop::saveScreenshot(w, QStringLiteral("main-window.png"));

    desktop::resizeByCorner(w, QPoint(90, 70));
    QCOMPARE(w.size(), size);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QString id = QString::number(w.winId());
        QCOMPARE(desktop::runTool("xdotool", {"windowsize", id, "300", "200"}), 0);
        const QPoint before = w.pos();
        QCOMPARE(desktop::runTool("xdotool", {"windowmove", id, "40", "30"}), 0);
        QTRY_VERIFY(w.pos() != before);
        QCOMPARE(w.size(), size);
    }
    w.showMaximized(); // as a compositor's frame with a maximise button asks
    QTest::qWait(500);
    QCOMPARE(w.size(), size);
    w.showNormal();
    // A Wayland program cannot restore itself once minimised: that is the user's to do.
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        return;
    w.showMinimized();
    if (desktop::managed()) // the window manager has taken it off the screen
        QTRY_VERIFY(w.isMinimized() && !w.windowHandle()->isExposed());
    w.showNormal();
    QVERIFY(desktop::waitForFrame(w));
    QTRY_COMPARE(w.size(), size);
    desktop::saveScreenshot(w, QStringLiteral("main-window-restored.png"));
}

void TestDesktop::useBrowser(Form9 &browser, int opening)
{
    QVERIFY(desktop::waitForFrame(browser));
    QVERIFY2(buttonsUnderTree(browser), qPrintable(describe(browser)));
    const QString name = QStringLiteral("folder-browser-%1").arg(opening);
    desktop::saveScreenshot(browser, name + ".png");

    const QSize opened = browser.size();
    desktop::resizeByCorner(browser, QPoint(80, 120));
    QTRY_VERIFY2(browser.height() > opened.height() && browser.width() > opened.width(),
                 qPrintable(describe(browser)));
    QTRY_VERIFY2(buttonsUnderTree(browser), qPrintable(describe(browser)));
    desktop::saveScreenshot(browser, name + "-larger.png");

    const QSize larger = browser.size();
    desktop::resizeByCorner(browser, QPoint(-200, -400)); // below the smallest size
    QTRY_VERIFY2(browser.height() < larger.height(), qPrintable(describe(browser)));
    QVERIFY(browser.width() >= browser.minimumWidth());
    QVERIFY(browser.height() >= browser.minimumHeight());
    QTRY_VERIFY2(buttonsUnderTree(browser), qPrintable(describe(browser)));
    desktop::saveScreenshot(browser, name + "-smaller.png");
}

// Opened three times; the first time the user picks C:\Samples, then takes it again.
void TestDesktop::folderBrowserOnEveryOpening()
{
    for (int opening = 1; opening <= 3; ++opening) {
        m_user.browse = [&](Form9 &browser) {
            useBrowser(browser, opening);
            if (opening == 1 && !QTest::currentTestFailed())
                clickPath(*browser.DirTree1, {"Clipferry (C:)", "Samples"});
            QTest::mouseClick(browser.cmd[0], Qt::LeftButton); // whatever failed, it closes
        };
        QTest::mouseClick(window().cmdInput, Qt::LeftButton);
        QVERIFY(!m_user.browse); // the browser came up and the user was done with it
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(window().File1->Path(), QStringLiteral("C:\\Samples"));
    }
}

// Every control of both windows has a name a screen reader can read, as AT-SPI lists them
// with the folder browser open: captions, the words on the picture buttons, the labels of
// the lists.
void TestDesktop::screenReaderNames()
{
    const QString script = qEnvironmentVariable("CLIPFERRY_ACCESSIBLE_NAMES");
    if (desktop::runTool("/usr/bin/python3", {"-c", "import pyatspi"}) != 0)
        QSKIP("Needs python3-pyatspi (scripts/install-deps.sh)");
    QString listing;
    int status = -1;
    m_user.browse = [&](Form9 &browser) {
        status = desktop::runTool("/usr/bin/python3",
                                  {script, QString::number(QCoreApplication::applicationPid())},
                                  &listing);
        QTest::mouseClick(browser.cmd[1], Qt::LeftButton);
    };
    QTest::mouseClick(window().cmdOutput, Qt::LeftButton);
    QVERIFY(!m_user.browse);
    desktop::saveText(QStringLiteral("accessible-names.txt"), listing);
    QCOMPARE(status, 0);
    const QStringList lines = listing.split('\n');
    QStringList unnamed = lines.filter(QRegularExpression("^UNNAMED "));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));
    QStringList shown;
    for (const QString &line : lines)
        shown.append(line.trimmed());
    for (const char *expected : {"push button: input",
                                 "push button: output",
                                 "text: Select Folders",
                                 "text: My Files",
                                 "list: Select Files",
                                 "combo box: Kestrel Medium",
                                 "push button: reset",
                                 "push button: encode",
                                 "push button: stop",
                                 "push button: OK",
                                 "push button: Cancel",
                                 "tree: Folders"})
        QVERIFY2(shown.contains(QLatin1String(expected)), expected);
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop.moc"
