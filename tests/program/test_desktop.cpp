// The real program on a desktop of its own (on_desktop.sh): under a window manager, with none,
// in a Wayland session, at any scale factor, used as a new user uses it. The first start's
// profile hint, Check Profile Setup and a restart; the main window keeps its laid-out size
// through a border drag, another program's resize request, a move, minimising and restoring;
// the folder browser, opened three times and each time dragged larger and smaller, keeps both
// buttons whole right under the tree; the keyboard alone; both samples of C:\Samples encoded
// by the real engine; a screen reader names every control (read through AT-SPI); the texts of
// the boxes read on the desktop's theme. Screenshots and the screen reader's listing go into
// the build folder.

#include "desktop_window.h"
#include "modal_user.h"
#include "screen_pictures.h"
#include "tree_clicks.h"
#include "window_fixture.h"

#include "clip_generator.h"
#include "platform/machine.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
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

// The action of a menu bar or menu that shows the text.
QAction *shown(const QWidget &menus, const QString &text)
{
    for (QAction *action : menus.actions()) {
        if (action->text() == text)
            return action;
    }
    qWarning("no menu entry %s", qPrintable(text));
    return nullptr;
}

// Clicks a menu's entry as the user finds it: by the words on the menu bar and in the menu.
void clickMenuEntry(QMainWindow &window, const QString &title, const QString &entry)
{
    QMenuBar *bar = window.menuBar();
    QAction *opens = shown(*bar, title);
    QVERIFY(opens && opens->menu());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(opens).center());
    QTRY_VERIFY(opens->menu()->isVisible());
    QAction *chosen = shown(*opens->menu(), entry);
    QVERIFY(chosen);
    QTest::mouseClick(
            opens->menu(), Qt::LeftButton, {}, opens->menu()->actionGeometry(chosen).center());
}

// The name of the control with the focus, or of the one holding it.
QString focusedName(bool holder = false)
{
    QWidget *focus = QApplication::focusWidget();
    focus = focus && holder ? focus->parentWidget() : focus;
    return focus ? focus->objectName() : QString();
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    // A new user's first start: the hint about the profiles, Check Profile Setup answered
    // Yes, and a restart with the profiles there and no message.
    void initTestCase()
    {
        if (!onX11() && QGuiApplication::platformName() != QLatin1String("wayland"))
            QSKIP("Needs a desktop: run it through tests/support/on_desktop.sh");
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(m_temp.isValid() && installUserDrive(m_temp.path(), false));
        QVERIFY(start());
        QCOMPARE(Machine::current().driveCRoot(), m_temp.path() + "/drive_c");
        QCOMPARE(m_user.texts,
                 QStringList{"Click Settings / Check Profile Setup\nto copy Pocket PC profiles "
                             "to Windows Media Encoder directory."});
        m_user.answers = {QMessageBox::Yes};
        clickMenuEntry(window(), "Settings", "Check Profile Setup"); // where the hint leads
        QTRY_COMPARE(m_user.texts.size(), 3); // the question, then "Files copied. Restart ..."
        QVERIFY(window().close());

        m_user.texts.clear();
        QVERIFY(start());
        QCOMPARE(window().Combo1->currentText(), QStringLiteral("Kestrel Medium"));
        QCOMPARE(m_user.texts, QStringList());
    }

    // The laid-out client area below the menu bar, the window whole on the screen; what the
    // user or another program does to the frame changes neither, and says nothing.
    void mainWindowKeepsItsSize()
    {
        Form1 &w = window();
        const QSize size = w.size();
        const QScreen &screen = *w.screen();
        QCOMPARE(w.centralWidget()->size(), QSize(474, 362)); // 7116 x 5424 twips at 96 dpi
        if (onX11())                                          // a compositor places it
            QVERIFY(screen.availableGeometry().contains(w.frameGeometry()));
        saveScreenshot(w, QStringLiteral("main-window.png"));

        resizeByCorner(w, QPoint(90, 70));
        QCOMPARE(w.size(), size);
        if (onX11()) {
            const QString id = QString::number(w.winId());
            QCOMPARE(runTool("xdotool", {"windowsize", id, "300", "200"}), 0);
            const QPoint before = w.pos();
            QCOMPARE(runTool("xdotool", {"windowmove", id, "40", "30"}), 0);
            QTRY_VERIFY(w.pos() != before);
            QCOMPARE(w.size(), size);
        }
        w.showMaximized(); // as a compositor's frame with a maximise button asks
        QTest::qWait(500);
        QCOMPARE(w.size(), size);
        w.showNormal();
        // A Wayland program cannot restore itself once minimised: that is the user's to do.
        if (!onX11())
            return;
        w.showMinimized();
        if (managed()) // the window manager has taken it off the screen
            QTRY_VERIFY(w.isMinimized() && !w.windowHandle()->isExposed());
        w.showNormal();
        QVERIFY(waitForFrame(w));
        QTRY_COMPARE(w.size(), size);
        saveScreenshot(w, QStringLiteral("main-window-restored.png"));
    }

    // Opened three times; the first time the user picks C:\Samples, then takes it again.
    void folderBrowserOnEveryOpening()
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

    // The keyboard alone. Tab and Shift+Tab walk every control of the main window in order and
    // type nothing into the boxes; the focus shows on each control (the pictures of the window
    // with the focus on a picture button and on the file list are kept). In the folder
    // browser OK has the focus at every opening, Escape and Enter do nothing, Tab walks OK,
    // Cancel and the tree.
    void keyboard()
    {
        if (!managed()) // without a window manager the keys go where the pointer is
            QSKIP("Keys are typed through the X server to the window its manager activates");
        Form1 &w = window();
        clickEntries(*w.File1, {"AVSEQ01.DAT", "^sample.mpg"}); // My Files lists both
        const QStringList boxes{w.Text3->text(), w.Text4->text()};
        runTool(QStringLiteral("xdotool"), {"mousemove", "0", "0"}); // away from the controls
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QStringList order
                = QString("cmdStart File1 cmdReset cmdStop Combo1 Text3 Text4 "
                          "cmdInput cmdOutput optOnePass optTwoPass chkCopytoStorage")
                          .split(' ');
        QHash<QString, QImage> unfocused;
        for (const QString &name : order)
            unfocused[name] = onScreen(*w.findChild<QWidget *>(name));
        saveScreenshot(w, QStringLiteral("focus-on-File1.png"));
        for (const int way : {1, -1}) {
            for (int step = 1; step <= order.size(); ++step) {
                pressKeys(way > 0 ? "Tab" : "shift+Tab");
                const QString name = order[(1 + way * step + order.size()) % order.size()];
                QWidget *control = w.findChild<QWidget *>(name);
                // the profile box's text field counts as the box
                QTRY_VERIFY2(focusedName() == name || focusedName(true) == name, qPrintable(name));
                if (name != QLatin1String("File1")) // at least a line along its edges changes
                    QVERIFY2(changedPixels(unfocused[name], onScreen(*control)) >= control->width(),
                             qPrintable(name));
                if (qobject_cast<QPushButton *>(control))
                    saveScreenshot(w, "focus-on-" + name + ".png");
            }
        }
        QCOMPARE(QStringList({w.Text3->text(), w.Text4->text()}), boxes);

        for (const QString close : {"Tab space", "space"}) { // Cancel, then OK
            m_user.browse = [&](Form9 &browser) {
                useBrowserByKeyboard(browser, close);
                if (browser.isVisible()) // whatever failed, it closes
                    QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
            };
            QTest::mouseClick(w.cmdInput, Qt::LeftButton);
            QVERIFY(!m_user.browse);
        }
        QCOMPARE(w.File1->Path(), QStringLiteral("C:\\Samples"));
    }

    // Both samples selected and encoded with Kestrel Medium: 320 x 240, WMV2 video and WMA2
    // sound, as long as the input, and "Status: ready" with no message.
    void encodeTheSamples()
    {
        clickEntries(*window().File1, {"AVSEQ01.DAT", "^sample.mpg"});
        QTest::mouseClick(window().cmdStart, Qt::LeftButton); // returns when the batch is done
        QTRY_COMPARE(window().Label6->text(), QStringLiteral("Status: ready"));
        QCOMPARE(m_user.texts, QStringList());
        saveScreenshot(window(), QStringLiteral("main-window-encoded.png"));

        for (const QString input : {"AVSEQ01.DAT", "sample.mpg"}) {
            const QString samples = m_temp.path() + "/drive_c/Samples/";
            const MediaFacts in = inspectMedia(samples + input);
            const MediaFacts out = inspectMedia(samples + input.section('.', 0, 0) + ".wmv");
            QCOMPARE(out.videoCodec + ' ' + out.audioCodec, QStringLiteral("wmv2 wmav2"));
            QCOMPARE(QSize(out.width, out.height), QSize(320, 240));
            QVERIFY2(qAbs(out.durationMs - in.durationMs) < 1000, qPrintable(input));
        }
    }

    // Every control of both windows has a name a screen reader can read, as AT-SPI lists them
    // with the folder browser open: captions, the words on the picture buttons, the labels of
    // the lists.
    void screenReaderNames()
    {
        const QString script = qEnvironmentVariable("CLIPFERRY_ACCESSIBLE_NAMES");
        if (runTool("/usr/bin/python3", {"-c", "import pyatspi"}) != 0)
            QSKIP("Needs python3-pyatspi (scripts/install-deps.sh)");
        QString listing;
        int status = -1;
        m_user.browse = [&](Form9 &browser) {
            status = runTool("/usr/bin/python3",
                             {script, QString::number(QCoreApplication::applicationPid())},
                             &listing);
            QTest::mouseClick(browser.cmd[1], Qt::LeftButton);
        };
        QTest::mouseClick(window().cmdOutput, Qt::LeftButton);
        QVERIFY(!m_user.browse);
        QFile saved(savedAs(QStringLiteral("accessible-names.txt")));
        if (saved.open(QIODevice::WriteOnly))
            QCOMPARE(saved.write(listing.toUtf8()), listing.toUtf8().size());
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
                                     "tree: Folders",
                                     "table column header: Folders (hidden)",
                                     "table cell: Clipferry, drive C:",
                                     "table cell: Root, drive Z:"})
            QVERIFY2(shown.contains(QLatin1String(expected)), expected);
    }

    // On the desktop's theme, light or dark, the texts of the boxes stand out at least 4.5:1
    // from their cyan on the screen.
    void readableOnTheTheme()
    {
        Form1 &w = window();
        QVERIFY2((QApplication::palette().color(QPalette::Window).lightness() < 128)
                         == !qEnvironmentVariableIsEmpty("CLIPFERRY_DARK_THEME"),
                 "The desktop's theme did not take (scripts/install-deps.sh)");
        QTest::mouseClick(w.cmdReset, Qt::LeftButton);
        w.openFiles({m_temp.path() + "/drive_c/Samples/sample.mpg"}); // into both boxes
        saveScreenshot(w, QStringLiteral("theme.png"));
        for (TextBox *box : {w.Text3, w.Text4}) {
            const double contrast = textContrast(onScreen(*box->viewport()));
            qInfo("%s: %.1f:1", qPrintable(box->objectName()), contrast);
            QVERIFY(contrast >= 4.5);
        }
    }

    void cleanupTestCase() { m_program.reset(); }

private:
    Form1 &window() { return m_program->window(); }

    // The folder browser from the keyboard, then the keys that close it.
    void useBrowserByKeyboard(Form9 &browser, const QString &keysToClose)
    {
        QVERIFY(waitForFrame(browser));
        QTRY_COMPARE(QApplication::focusWidget(), browser.cmd[0]);
        const QStringList focused
                = QString("cmd(0) cmd(0) cmd(1) DirTree cmd(0) DirTree cmd(1)").split(' ');
        const QStringList keys{"Escape", "Return", "Tab", "Tab", "Tab", "shift+Tab", "shift+Tab"};
        for (int step = 0; step < keys.size(); ++step) {
            pressKeys(keys[step]);
            QTRY_COMPARE(focusedName(), focused[step]);
        }
        pressKeys("shift+Tab " + keysToClose);
        QTRY_VERIFY(!browser.isVisible());
    }

    // Starts the program as main() does, on the drive set up above, and waits for its frame.
    bool start()
    {
        m_program.reset();
        m_program = std::make_unique<Program>();
        window().show();
        return waitForFrame(window());
    }

    // One opening of the folder browser: laid out at once, then larger and smaller.
    void useBrowser(Form9 &browser, int opening)
    {
        QVERIFY(waitForFrame(browser));
        QVERIFY2(buttonsUnderTree(browser), qPrintable(describe(browser)));
        const QString name = QStringLiteral("folder-browser-%1").arg(opening);
        saveScreenshot(browser, name + ".png");

        const QSize opened = browser.size();
        resizeByCorner(browser, QPoint(80, 120));
        QTRY_VERIFY2(browser.height() > opened.height() && browser.width() > opened.width(),
                     qPrintable(describe(browser)));
        QTRY_VERIFY2(buttonsUnderTree(browser), qPrintable(describe(browser)));
        saveScreenshot(browser, name + "-larger.png");

        const QSize larger = browser.size();
        resizeByCorner(browser, QPoint(-200, -400)); // below the smallest size
        QTRY_VERIFY2(browser.height() < larger.height(), qPrintable(describe(browser)));
        QVERIFY(browser.width() >= browser.minimumWidth());
        QVERIFY(browser.height() >= browser.minimumHeight());
        QTRY_VERIFY2(buttonsUnderTree(browser), qPrintable(describe(browser)));
        saveScreenshot(browser, name + "-smaller.png");
    }

    QTemporaryDir m_temp;
    std::unique_ptr<Program> m_program;
    ModalUser m_user;
};

int main(int argc, char *argv[])
{
    // The xcb platform cannot start without a display: start offscreen and skip.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_desktop.moc"
