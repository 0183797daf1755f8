// The real program on a desktop of its own (on_desktop.sh): under a window manager, with none,
// in a Wayland session, at any scale factor, used as a new user uses it. The first start's
// profile hint, Check Profile Setup and a restart; the main window keeps its laid-out size
// through a border drag, another program's resize request, a move, minimising and restoring;
// the folder browser, opened three times and each time dragged larger and smaller, keeps both
// buttons whole right under the tree; both samples of C:\Samples encoded by the real engine;
// a screen reader names every control (read through AT-SPI). Screenshots and the screen
// reader's listing go into the build folder.

#include "started_program.h"
#include "tree_clicks.h"
#include "window_fixture.h"

#include "browser/dir_tree.h"
#include "clip_generator.h"
#include "platform/machine.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>
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

// Presses a key through the X server, as the keyboard does ("Tab", "shift+Tab", "Escape"), and
// lets the program handle it.
void pressKey(const QString &key)
{
    runTool(QStringLiteral("xdotool"), {"key", "--clearmodifiers", key});
    QTest::qWait(150);
}

// The control of the main window that has the focus: its inner parts (the profile box's text
// field) count as the control. Null when the focus is elsewhere.
QWidget *focusedControl(const Form1 &window)
{
    QWidget *control = QApplication::focusWidget();
    while (control && control->parentWidget() != window.centralWidget())
        control = control->parentWidget();
    return control;
}

// The window's client area as the screen shows it (as the toolkit paints it where no program
// may look at the screen), in the screen's pixels.
QImage windowPicture(QWidget &window)
{
    window.repaint();
    QTest::qWait(100);
    if (!onX11())
        return window.grab().toImage();
    const QPoint at = window.mapToGlobal(QPoint());
    return window.screen()
            ->grabWindow(0, at.x(), at.y(), window.width(), window.height())
            .toImage();
}

// A widget's place in a picture of its window, in the picture's pixels.
QRect inPicture(const QImage &picture, const QWidget &window, const QWidget &widget, QRect part)
{
    const QRectF place(widget.mapTo(&window, part.topLeft()), QSizeF(part.size()));
    const qreal ratio = picture.devicePixelRatio();
    return QRectF(place.topLeft() * ratio, place.size() * ratio).toAlignedRect();
}

// How many pixels of a part differ clearly between two pictures.
int changedPixels(const QImage &before, const QImage &after, const QRect &part)
{
    int changed = 0;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            const QColor a = before.pixelColor(x, y), b = after.pixelColor(x, y);
            changed += qAbs(a.red() - b.red()) + qAbs(a.green() - b.green())
                               + qAbs(a.blue() - b.blue())
                       > 40;
        }
    }
    return changed;
}

// Contrast of two colours as the accessibility guidelines measure it (1 to 21).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
               + 0.0722 * channel(c.blueF());
    };
    const double one = luminance(a), other = luminance(b);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

// The contrast of the text in a part of a picture: its background is its commonest colour, its
// text the colour that stands out most from that.
double textContrast(const QImage &picture, const QRect &part, QString *colours)
{
    QHash<QRgb, int> counts;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x)
            ++counts[picture.pixel(x, y) & RGB_MASK];
    }
    QRgb background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > counts.value(background))
            background = it.key();
    }
    QColor text(background);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (contrast(QColor(it.key()), background) > contrast(text, background))
            text = QColor(it.key());
    }
    *colours = text.name() + " on " + QColor(background).name();
    return contrast(text, background);
}

// What a screen reader hears change in this program, through AT-SPI, while it listens.
class ScreenReaderEars
{
public:
    bool listen()
    {
        m_listener.start(QStringLiteral("/usr/bin/python3"),
                         {qEnvironmentVariable("CLIPFERRY_ACCESSIBLE_NAMES"),
                          "--events",
                          QString::number(QCoreApplication::applicationPid())});
        QSignalSpy output(&m_listener, &QProcess::readyReadStandardOutput);
        return output.wait(20000) && m_listener.readLine().trimmed() == "listening";
    }
    // What it heard, once the last changes have reached it.
    QStringList heard()
    {
        QTest::qWait(1000);
        QSignalSpy finished(&m_listener, &QProcess::finished);
        m_listener.terminate();
        if (!finished.wait(10000))
            m_listener.kill();
        return QString::fromUtf8(m_listener.readAllStandardOutput()).split('\n');
    }

private:
    QProcess m_listener;
};

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

    // The keyboard alone. Tab and Shift+Tab walk every control of the main window in order,
    // from each to the next, and type nothing into the boxes; the focus shows on each control
    // (the window's picture with the focus on it and on the file list; those of the picture
    // buttons are kept). In the folder browser,
    // OK has the focus, Tab walks OK, Cancel and the tree, and Escape and Enter do nothing.
    void keyboard()
    {
        if (!managed()) // without a window manager the keys go where the pointer is
            QSKIP("Keys are typed through the X server (xdotool) to the window it activates");
        Form1 &w = window();
        clickEntries(*w.File1, {"AVSEQ01.DAT", "^sample.mpg"}); // My Files lists both
        const QString files = w.Text3->text(), folders = w.Text4->text();
        QVERIFY(!files.isEmpty() && !folders.isEmpty());
        runTool(QStringLiteral("xdotool"), {"mousemove", "0", "0"}); // no button under the pointer
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(focusedControl(w), w.File1);
        const QImage unfocused = windowPicture(w);
        unfocused.save(savedAs(QStringLiteral("focus-on-no-picture-button.png")));

        const QStringList order{"cmdStart",
                                "File1",
                                "cmdReset",
                                "cmdStop",
                                "Combo1",
                                "Text3",
                                "Text4",
                                "cmdInput",
                                "cmdOutput",
                                "optOnePass",
                                "optTwoPass",
                                "chkCopytoStorage"};
        for (const QString key : {"Tab", "shift+Tab"}) {
            QStringList walked{"File1"};
            for (int step = 0; step < order.size(); ++step) {
                pressKey(key);
                QWidget *control = focusedControl(w);
                QVERIFY2(control, qPrintable(walked.join(' ')));
                walked.append(control->objectName());
                if (control == w.File1) // focused in the picture without it, too
                    continue;
                const QImage focused = windowPicture(w);
                if (qobject_cast<QPushButton *>(control))
                    focused.save(savedAs("focus-on-" + control->objectName() + ".png"));
                const QRect place = inPicture(focused, w, *control, control->rect());
                // at least a line along the control's edges
                QVERIFY2(changedPixels(unfocused, focused, place) >= place.width(),
                         qPrintable(control->objectName()));
            }
            QStringList expected{"File1"}; // and round to it
            const int way = key == QLatin1String("Tab") ? 1 : -1;
            for (int step = 1; step <= order.size(); ++step)
                expected.append(order[(1 + way * step + order.size()) % order.size()]);
            QCOMPARE(walked, expected);
        }
        QCOMPARE(w.Text3->text(), files);
        QCOMPARE(w.Text4->text(), folders);

        // Cancel first, then OK at the next opening, which has the focus again.
        for (const char *button : {"Tab", "space"}) {
            m_user.browse = [&](Form9 &browser) {
                useBrowserByKeyboard(browser, QLatin1String(button));
                if (browser.isVisible())
                    QTest::mouseClick(browser.cmd[0], Qt::LeftButton); // whatever failed, closes
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
        ScreenReaderEars ears;
        const bool listening = screenReaderInstalled();
        QVERIFY(!listening || ears.listen());
        window().Timer1->setInterval(50); // ticks often enough to show the short samples' progress
        QTest::mouseClick(window().cmdStart, Qt::LeftButton); // returns when the batch is done
        window().Timer1->setInterval(1000);
        QTRY_COMPARE(window().Label6->text(), QStringLiteral("Status: ready"));
        QCOMPARE(m_user.texts, QStringList());
        saveScreenshot(window(), QStringLiteral("main-window-encoded.png"));
        if (listening) { // the status line, the emptied statistics and the bar, forth and back
            const QStringList heard = ears.heard();
            for (const char *expected :
                 {"name: label: Status: ready", "name: label: ", "value: progress bar: 0"})
                QVERIFY2(heard.contains(QLatin1String(expected)), qPrintable(heard.join('\n')));
            QVERIFY2(!heard.filter(QRegularExpression("^value: progress bar: [1-9]")).isEmpty(),
                     qPrintable(heard.join('\n')));
        }

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
        if (!screenReaderInstalled())
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
                                     "table cell: Samples",
                                     "table cell: Root, drive Z:"})
            QVERIFY2(shown.contains(QLatin1String(expected)), expected);
    }

    // Every text of the enabled controls reads on the desktop's theme, light or dark: at least
    // 4.5:1 against its background in a picture of the window (the boxes with their fixed cyan,
    // the labels, the options and the profile box in the theme's colours).
    void readableOnTheTheme()
    {
        Form1 &w = window();
        const QPalette palette = QApplication::palette();
        const bool dark = palette.color(QPalette::Window).lightness() < 128;
        QVERIFY2(dark == !qEnvironmentVariableIsEmpty("CLIPFERRY_DARK_THEME"),
                 "the desktop's theme did not take (scripts/install-deps.sh)");
        QTest::mouseClick(w.cmdReset, Qt::LeftButton); // every control enabled, as at a start
        const QString samples = m_temp.path() + "/drive_c/Samples/";
        w.openFiles({samples + "sample.mpg"}); // My Files and the folders show it
        QVERIFY(!w.Text3->text().isEmpty() && !w.Text4->text().isEmpty());
        const QImage picture = windowPicture(w);
        picture.save(savedAs(QStringLiteral("theme-contrast.png")));

        QStyleOptionButton option;
        option.initFrom(w.optOnePass);
        const QRect optionText
                = w.style()->subElementRect(QStyle::SE_RadioButtonContents, &option, w.optOnePass);
        option.initFrom(w.chkCopytoStorage);
        const QRect checkText = w.style()->subElementRect(
                QStyle::SE_CheckBoxContents, &option, w.chkCopytoStorage);
        const QListWidgetItem *unselected = w.File1->findItems("AVSEQ01.DAT", Qt::MatchExactly)[0];
        const std::tuple<const char *, QWidget *, QRect> texts[] = {
                {"My Files", w.Text3->viewport(), w.Text3->viewport()->rect()},
                {"folders", w.Text4->viewport(), w.Text4->viewport()->rect()},
                {"file list", w.File1->viewport(), w.File1->visualItemRect(unselected)},
                {"label", w.Label9, w.Label9->rect()},
                {"option", w.optOnePass, optionText},
                {"check box", w.chkCopytoStorage, checkText},
                {"profile", w.Combo1, w.Combo1->lineEdit()->geometry()},
        };
        for (const auto &[name, widget, part] : texts) {
            QString colours;
            const double ratio
                    = textContrast(picture, inPicture(picture, w, *widget, part), &colours);
            qInfo("%s: %.1f:1 (%s)", name, ratio, qPrintable(colours));
            QVERIFY2(ratio >= 4.5, qPrintable(name + (": " + colours)));
        }
    }

    void cleanupTestCase() { m_program.reset(); }

private:
    Form1 &window() { return m_program->window(); }

    bool screenReaderInstalled()
    {
        return runTool("/usr/bin/python3", {"-c", "import pyatspi"}) == 0;
    }

    // The folder browser from the keyboard: OK has the focus; Escape and Enter leave it open
    // with the focus where it was; Tab walks OK, Cancel and the tree, Shift+Tab back; then the
    // keys given to close it ("Tab" moves on to Cancel) and Space.
    void useBrowserByKeyboard(Form9 &browser, const QString &keysToClose)
    {
        QVERIFY(waitForFrame(browser));
        QTRY_VERIFY(browser.isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), browser.cmd[0]);
        for (const char *key : {"Escape", "Return", "KP_Enter"}) {
            pressKey(key);
            QTest::qWait(200);
            QVERIFY2(browser.isVisible() && QApplication::focusWidget() == browser.cmd[0], key);
        }
        QStringList walked;
        for (const char *key : {"Tab", "Tab", "Tab", "shift+Tab", "shift+Tab", "shift+Tab"}) {
            pressKey(key);
            walked.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(walked.join(' '), QStringLiteral("cmd(1) DirTree cmd(0) DirTree cmd(1) cmd(0)"));
        pressKey(keysToClose);
        if (keysToClose != QLatin1String("space"))
            pressKey(QStringLiteral("space"));
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
