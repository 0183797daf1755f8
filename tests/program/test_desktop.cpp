// The real program on a desktop of its own (on_desktop.sh): under a window manager, with none,
// in a Wayland session, at any scale factor, used as a new user uses it. The first start's
// profile hint, Check Profile Setup and a restart; the main window keeps its laid-out size
// through a border drag, another program's resize request, a move, minimising and restoring;
// the folder browser, opened three times and each time dragged larger and smaller, keeps both
// buttons whole right under the tree; the keyboard alone; both samples of C:\Samples encoded
// by the real engine; a screen reader names every control (read through AT-SPI); the texts of
// the boxes read on the desktop's theme. Screenshots and the screen reader's listing go into
// the build folder.

#include "tree_clicks.h"
#include "window_fixture.h"

#include "clip_generator.h"
#include "platform/machine.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace {

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The desktop as on_desktop.sh names it: "bare" has no window manager to frame the windows.
QString desktopName()
{
    return qEnvironmentVariable("CLIPFERRY_DESKTOP", QStringLiteral("bare"));
}

bool managed()
{
    return onX11() && desktopName() != QLatin1String("bare");
}

// Runs a tool to its end while the program keeps handling its events (a window manager may
// wait for the program while the user drags a border); -1 when it did not end in a minute.
int runTool(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (!finished.wait(60000))
        process.kill();
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return finished.isEmpty() || process.exitStatus() != QProcess::NormalExit ? -1
                                                                              : process.exitCode();
}

// The frame the window manager announced in _NET_FRAME_EXTENTS, in the screen's pixels (the
// toolkit learns of it late under some window managers); null while there is none.
std::optional<QMargins> frameExtents(QWidget &window)
{
    QString output;
    const QString id = QString::number(window.winId());
    if (runTool(QStringLiteral("xprop"), {"-id", id, "_NET_FRAME_EXTENTS"}, &output) != 0)
        return std::nullopt;
    const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(output);
    if (!match.hasMatch())
        return std::nullopt;
    return QMargins(match.captured(1).toInt(),
                    match.captured(3).toInt(),
                    match.captured(2).toInt(),
                    match.captured(4).toInt());
}

// The window and its frame as the X server has them, in the screen's pixels (the toolkit's
// positions are rounded to its scaled pixels).
QRect frameOnScreen(QWidget &window)
{
    QString output;
    runTool(QStringLiteral("xwininfo"), {"-id", QString::number(window.winId())}, &output);
    const auto value = [&output](const char *field) {
        const QRegularExpression line(QLatin1String(field) + QStringLiteral(":\\s*(-?\\d+)"));
        return line.match(output).captured(1).toInt();
    };
    const QRect client(value("Absolute upper-left X"),
                       value("Absolute upper-left Y"),
                       value("Width"),
                       value("Height"));
    return client.marginsAdded(frameExtents(window).value_or(QMargins()));
}

// Waits until the window manager has framed the window (at once without one).
bool waitForFrame(QWidget &window)
{
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    const QDeadlineTimer deadline(5000);
    while (managed() && !frameExtents(window)) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

// Resizes a window by an offset of Qt's pixels as its user does: by dragging the lower right
// corner of the window manager's frame, or through the toolkit where there is none to drag.
void resizeByCorner(QWidget &window, QPoint by)
{
    if (!managed()) {
        window.resize(window.size() + QSize(by.x(), by.y()));
        return;
    }
    const auto xy = [](QPoint p) {
        return QStringList{QString::number(p.x()), QString::number(p.y())};
    };
    // The corner's last pixels lie on the frame's resize handle; X counts the screen's pixels.
    const QPoint corner = frameOnScreen(window).bottomRight() - QPoint(1, 1);
    const QPoint target = corner + (QPointF(by) * window.devicePixelRatioF()).toPoint();
    runTool(QStringLiteral("xdotool"),
            QStringList{"mousemove"} + xy(corner) + QStringList{"mousedown", "1", "mousemove"}
                    + xy((corner + target) / 2) + QStringList{"sleep", "0.2", "mousemove"}
                    + xy(target) + QStringList{"sleep", "0.2", "mouseup", "1"});
    QTest::qWait(300); // the window manager's last configure reaches the window
}

// Where a screenshot or listing goes (CLIPFERRY_SCREENSHOTS), empty when nothing is saved.
QString savedAs(const QString &fileName)
{
    const QString folder = qEnvironmentVariable("CLIPFERRY_SCREENSHOTS");
    return folder.isEmpty() || !QDir().mkpath(folder) ? QString() : folder + '/' + fileName;
}

// The whole screen of a weston session, as its screenshooter takes it.
void saveWestonScreen(const QString &path)
{
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    QSignalSpy finished(&shooter, &QProcess::finished);
    shooter.start(QStringLiteral("weston-screenshooter"), QStringList());
    const QStringList taken
            = finished.wait(20000) ? QDir(folder.path()).entryList(QDir::Files) : QStringList();
    if (!taken.isEmpty())
        QFile::rename(folder.filePath(taken.first()), path);
}

// A picture of the window as the screen shows it, with the window manager's frame on X. A
// compositor shows no program another's windows: there, the window's own picture and the
// screen as weston shows it.
void saveScreenshot(QWidget &window, const QString &fileName)
{
    const QString path = savedAs(fileName);
    if (path.isEmpty())
        return;
    window.repaint();
    QTest::qWait(100); // the X server's picture lags behind the widgets until painted
    QPixmap shot = window.grab();
    if (onX11()) {
        const QRect frame = frameOnScreen(window);
        const qreal ratio = window.devicePixelRatioF();
        shot = window.screen()->grabWindow(0,
                                           qRound(frame.x() / ratio),
                                           qRound(frame.y() / ratio),
                                           qRound(frame.width() / ratio),
                                           qRound(frame.height() / ratio));
    } else if (desktopName() == QLatin1String("weston")) {
        saveWestonScreen(savedAs("screen-" + fileName));
    }
    if (!shot.save(path))
        qWarning("cannot save %s", qPrintable(path));
}

// Plays the user at the program's modal windows: answers each message box with the next
// scripted button (OK, or No for a question, once the script has run out) and keeps its
// text; acts once in the folder browser when it is on the screen (`browse` is then empty).
struct ModalUser
{
    ModalUser()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { lookAtModalWindow(); });
        timer.start(50);
    }
    void lookAtModalWindow()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal); box && box->isVisible()) {
            texts.append(box->text());
            QAbstractButton *button
                    = box->button(answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst());
            QTest::mouseClick(button ? button : box->button(QMessageBox::No), Qt::LeftButton);
        } else if (auto *browser = qobject_cast<Form9 *>(modal); browser && browse) {
            auto act = std::exchange(browse, nullptr);
            if (QTest::qWaitForWindowExposed(browser)) {
                act(*browser);
            } else { // never on the screen: the act stays undone, which the test sees
                browse = std::move(act);
                browser->hide();
            }
        }
    }

    QStringList texts;
    QList<QMessageBox::StandardButton> answers;
    std::function<void(Form9 &)> browse;
    QTimer timer;
};

QString describe(const Form9 &browser)
{
    return QStringLiteral("window %1x%2, tree bottom %3, OK at %4,%5")
            .arg(browser.width())
            .arg(browser.height())
            .arg(browser.DirTree1->geometry().bottom())
            .arg(browser.cmd[0]->x())
            .arg(browser.cmd[0]->y());
}

void clickMenuEntry(QMainWindow &window, QMenu *menu, QAction *entry)
{
    QMenuBar *bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
}

// Presses keys through the X server as the keyboard does ("Tab", "shift+Tab", "Escape").
void pressKeys(const QString &keys)
{
    runTool(QStringLiteral("xdotool"), QStringList{"key", "--clearmodifiers"} + keys.split(' '));
    QTest::qWait(150);
}

// The name of the control with the focus, or of the one holding it.
QString focusedName(bool holder = false)
{
    QWidget *focus = QApplication::focusWidget();
    focus = focus && holder ? focus->parentWidget() : focus;
    return focus ? focus->objectName() : QString();
}

// A control as the screen shows it (as the toolkit paints it where no program may look at the
// screen), in the screen's pixels.
QImage onScreen(QWidget &control)
{
    control.repaint();
    QTest::qWait(100);
    const QPoint at = control.mapToGlobal(QPoint());
    return onX11() ? control.screen()
                             ->grabWindow(0, at.x(), at.y(), control.width(), control.height())
                             .toImage()
                   : control.grab().toImage();
}

int changedPixels(const QImage &before, const QImage &after)
{
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    }
    return changed;
}

// The contrast (1 to 21, as accessibility guidelines measure it) of the colour in a picture
// that stands out most from its commonest colour, the background.
double textContrast(const QImage &picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    }
    const auto luminance = [](QColor c) {
        double sum = 0;
        for (const auto &[value, weight] : {std::pair(c.redF(), 0.2126),
                                            std::pair(c.greenF(), 0.7152),
                                            std::pair(c.blueF(), 0.0722)})
            sum += weight
                   * (value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4));
        return sum + 0.05;
    };
    const double background = luminance(
            std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                return a.second < b.second;
            })->first);
    double highest = 1;
    for (const QRgb colour : counts.keys())
        highest = std::max(
                {highest, luminance(colour) / background, background / luminance(colour)});
    return highest;
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
            QSKIP("Needs a desktop: run it through tests/program/on_desktop.sh");
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QVERIFY(m_temp.isValid() && installUserDrive(m_temp.path(), false));
        QVERIFY(start());
        QCOMPARE(Machine::current().driveCRoot(), m_temp.path() + "/drive_c");
        QCOMPARE(m_user.texts,
                 QStringList{"Click Settings / Check Profile Setup\nto copy Pocket PC profiles "
                             "to Windows Media Encoder directory."});
        m_user.answers = {QMessageBox::Yes};
        clickMenuEntry(window(), window().mnuProfile, window().mnuProfileSetup);
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
