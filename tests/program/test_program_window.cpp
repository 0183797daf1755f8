// The real program on a real X display, started as main() starts it and used as a new user
// uses it: the first start's hint about the profiles, Settings / Check Profile Setup, a
// restart, the input folder C:\Samples picked in the folder browser, both sample clips
// selected, encode, "Status: ready", and two ".wmv" files from the real engine. Screenshots
// of the main window and of the folder browser go into the build folder.
//
// The program runs on a C: drive of its own in a temporary folder, set up from the build's
// C: drive the way an installed program sets up a user's drive, so nothing is written into
// the build's drive.

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
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString EncoderDir = QStringLiteral("Program Files/Windows Media Components/Encoder");

// Answers the program's real message boxes as a user does: the scripted button, or OK (No
// for a question) when the script has run out. Every box's text is kept.
class BoxAnswerer : public QObject
{
public:
    BoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::answerShownBox);
        m_timer.start(50);
    }
    void script(QMessageBox::StandardButton button) { m_script.append(button); }
    QStringList texts;

private:
    void answerShownBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts.append(box->text());
        QAbstractButton *button
                = box->button(m_script.isEmpty() ? QMessageBox::Ok : m_script.takeFirst());
        if (!button)
            button = box->button(QMessageBox::No);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QTimer m_timer;
    QList<QMessageBox::StandardButton> m_script;
};

// Acts once in the first shown modal window of type T (the folder browser, for one).
template<typename T>
class WhenShown : public QObject
{
public:
    explicit WhenShown(std::function<void(T &)> act)
        : m_act(std::move(act))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
            if (!window || !window->isVisible() || done)
                return;
            done = true;
            m_timer.stop();
            if (QTest::qWaitForWindowExposed(window))
                m_act(*window);
        });
        m_timer.start(50);
    }
    bool done = false;

private:
    QTimer m_timer;
    std::function<void(T &)> m_act;
};

void saveScreenshot(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("CLIPFERRY_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    // The X server's picture lags behind the widgets until they are painted.
    window.repaint();
    QCoreApplication::processEvents();
    // What the X server shows, decorations aside: the window as a user sees it.
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    QVERIFY2(shot.save(folder + QLatin1Char('/') + name), qPrintable(folder));
}

void clickMenuEntry(QMainWindow &window, QMenu *menu, QAction *entry)
{
    QMenuBar *bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
}

void clickEntry(FileListBox &list, const QString &name, Qt::KeyboardModifiers modifiers)
{
    const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    QTest::mouseClick(list.viewport(),
                      Qt::LeftButton,
                      modifiers,
                      list.visualItemRect(found.first()).center());
}

// Clicks the drive node, then each folder below it, as a user opens the tree.
void clickPath(Form9 &browser, const QStringList &texts)
{
    QTreeWidget *view = browser.DirTree1->treeView();
    const QList<QTreeWidgetItem *> drives = view->findItems(texts.first(), Qt::MatchExactly);
    QVERIFY2(drives.size() == 1, qPrintable(texts.first()));
    QTreeWidgetItem *node = drives.first();
    for (const QString &text : texts.mid(1)) {
        clickNode(*browser.DirTree1, node);
        node = childNamed(node, text);
        QVERIFY2(node, qPrintable(text));
    }
    clickNode(*browser.DirTree1, node);
}

} // namespace

class TestProgramWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstStartLeadsToTheProfileSetup();
    void convertsTheSamplesThroughTheWindow();

private:
    QString driveC(const QString &path) const { return m_temp.path() + "/drive_c/" + path; }
    void start();

    QTemporaryDir m_temp;
    std::unique_ptr<Program> m_program;
};

void TestProgramWindow::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("Needs an X display: run the tests under scripts/with-display.sh");
    QVERIFY(m_temp.isValid());
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // A new user's drive: the installation's files, and no profiles set up yet.
    const QString build = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C");
    QVERIFY(QFileInfo::exists(build + "/Samples/AVSEQ01.DAT"));
    prepareUserDriveC(build, m_temp.path() + "/drive_c");
    QDir profiles(driveC(EncoderDir + "/Profiles"));
    for (const QString &name : profiles.entryList(QDir::Files))
        QVERIFY(profiles.remove(name));
}

// As main() does, for the program's executable on the temporary drive.
void TestProgramWindow::start()
{
    m_program.reset();
    QVERIFY(installMachineFor(driveC("Program Files/Clipferry/clipferry")));
    QCOMPARE(Machine::current().driveCRoot(), m_temp.path() + "/drive_c");
    m_program = std::make_unique<Program>();
    m_program->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_program->window()));
}

void TestProgramWindow::firstStartLeadsToTheProfileSetup()
{
    BoxAnswerer boxes;
    start();
    Form1 &window = m_program->window();
    QCOMPARE(boxes.texts,
             QStringList{"Click Settings / Check Profile Setup\nto copy Pocket PC profiles to "
                         "Windows Media Encoder directory."});

    boxes.script(QMessageBox::Yes);
    clickMenuEntry(window, window.mnuProfile, window.mnuProfileSetup);
    QTRY_COMPARE(boxes.texts.size(), 3);
    QCOMPARE(boxes.texts.mid(1),
             (QStringList{"Kestrel Profiles are not installed completely.\nCopy files to "
                          "Windows Media Encoder directory?",
                          "Files copied. Restart Clipferry\nfor changes to take effect."}));
    for (const char *level : {"High", "Low", "Medium"})
        QVERIFY(QFileInfo(driveC(EncoderDir + "/Profiles/Kestrel " + level + ".prx")).isFile());

    QVERIFY(window.close());
    m_program.reset();
}

void TestProgramWindow::convertsTheSamplesThroughTheWindow()
{
    BoxAnswerer boxes;
    start();
    Form1 &window = m_program->window();
    QCOMPARE(boxes.texts, QStringList());
    QCOMPARE(window.Combo1->currentText(), QStringLiteral("Kestrel Medium"));

    WhenShown<Form9> browse([](Form9 &browser) {
        clickPath(browser, {QStringLiteral("Clipferry (C:)"), QStringLiteral("Samples")});
        saveScreenshot(browser, QStringLiteral("folder-browser.png"));
        QTest::mouseClick(browser.cmd[0], Qt::LeftButton);
    });
    QTest::mouseClick(window.cmdInput, Qt::LeftButton);
    QVERIFY(browse.done);
    QCOMPARE(window.File1->Path(), QStringLiteral("C:\\Samples"));

    clickEntry(*window.File1, QStringLiteral("AVSEQ01.DAT"), Qt::NoModifier);
    clickEntry(*window.File1, QStringLiteral("sample.mpg"), Qt::ControlModifier);
    QTest::mouseClick(window.cmdStart, Qt::LeftButton); // returns when the batch is done
    QTRY_COMPARE(window.Label6->text(), QStringLiteral("Status: ready"));
    QCOMPARE(boxes.texts, QStringList());
    saveScreenshot(window, QStringLiteral("main-window.png"));

    // Kestrel Medium: 320 x 240, WMV2 video and WMA2 sound, as long as the input.
    const struct
    {
        const char *output;
        const char *input;
    } clips[] = {{"AVSEQ01.wmv", "AVSEQ01.DAT"}, {"sample.wmv", "sample.mpg"}};
    for (const auto &clip : clips) {
        const MediaFacts input = inspectMedia(driveC(QStringLiteral("Samples/") + clip.input));
        const MediaFacts output = inspectMedia(driveC(QStringLiteral("Samples/") + clip.output));
        QCOMPARE(output.videoCodec, QStringLiteral("wmv2"));
        QCOMPARE(output.audioCodec, QStringLiteral("wmav2"));
        QCOMPARE(QSize(output.width, output.height), QSize(320, 240));
        QVERIFY2(qAbs(output.durationMs - input.durationMs) < 1000,
                 qPrintable(QStringLiteral("%1: %2 ms from %3 ms")
                                    .arg(clip.output)
                                    .arg(output.durationMs)
                                    .arg(input.durationMs)));
        QVERIFY(output.decodedFrames > 0);
    }

    QVERIFY(window.close());
    m_program.reset();
}

int main(int argc, char *argv[])
{
    // The xcb platform cannot start without a display: start offscreen and skip.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_program_window.moc"
