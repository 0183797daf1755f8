// The word the desktop gives when a batch of several files ends while the user works in
// another window: a notification through the desktop's notification service, here a fake
// one on a session bus of the test's own. Where there is no bus or no service, nothing is
// shown and nothing is said. The batches are real: the program is started with two short
// clips, as "Open with" starts it, and encodes them with the real engine.

#include "private_session_bus.h"
#include "started_program.h"

#include "batch/desktop_notification.h"
#include "clip_generator.h"

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Points the program at a session bus, or at none at all.
void useSessionBus(const QString &address, const QString &runtimeFolder = {})
{
    if (address.isEmpty())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    qputenv("XDG_RUNTIME_DIR", runtimeFolder.toUtf8());
}

} // namespace

class TestBatchNotification : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void toldWhenTheUserIsElsewhere_data();
    void toldWhenTheUserIsElsewhere();
    void notToldOfWhatTheUserSees_data();
    void notToldOfWhatTheUserSees();
    void whoIsThereToTell_data();
    void whoIsThereToTell();
    void aBatchWithoutASessionBus();

private:
    // Starts the program with the files, makes another window the active one unless the
    // user watches, and encodes; returns the window once the batch has ended.
    Form1 &encode(StartedProgram &program, const QStringList &files, bool userWatches = false);

    QTemporaryDir m_files;
    std::unique_ptr<PrivateSessionBus> m_bus;
    FakeNotificationService m_service;
    QWidget m_elsewhere; // the window the user works in meanwhile
};

void TestBatchNotification::initTestCase()
{
    makeClip(m_files.filePath("first.mpg"), {.seconds = 1});
    makeClip(m_files.filePath("second.mpg"), {.seconds = 1});
    QFile notes(m_files.filePath("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("x") == 1);
    m_bus = std::make_unique<PrivateSessionBus>();
    if (m_bus->address().isEmpty())
        QSKIP(qPrintable("No D-Bus session bus for the test: " + m_bus->error()));
    QVERIFY(m_service.serveOn(m_bus->address()));
}

void TestBatchNotification::cleanupTestCase()
{
    m_bus.reset();
}

Form1 &
TestBatchNotification::encode(StartedProgram &program, const QStringList &files, bool userWatches)
{
    QStringList paths;
    for (const QString &file : files)
        paths.append(m_files.filePath(file));
    Form1 &window = program.start(paths);
    QWidget &active = userWatches ? static_cast<QWidget &>(window) : m_elsewhere;
    active.show();
    active.activateWindow();
    if (!QTest::qWaitForWindowActive(&active))
        qWarning("the window did not become active");
    QTest::mouseClick(window.cmdStart, Qt::LeftButton); // returns when the batch has ended
    return window;
}

void TestBatchNotification::toldWhenTheUserIsElsewhere_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("all converted")
            << QStringList{"first.mpg", "second.mpg"} << "2 files converted." << QStringList{};
    QTest::newRow("one not converted")
            << QStringList{"first.mpg", "notes.txt"} << "1 file converted, 1 not converted."
            << QStringList{"These files were not converted:\r\n"
                           "notes.txt: not an MPEG or Video CD file"};
}

void TestBatchNotification::toldWhenTheUserIsElsewhere()
{
    QFETCH(QStringList, files);
    QFETCH(QString, body);
    QFETCH(QStringList, boxes);
    useSessionBus(m_bus->address());
    m_service.shown.clear();

    StartedProgram program;
    encode(program, files);
    QTRY_COMPARE(m_service.shown.size(), 1);
    const FakeNotificationService::Notification &told = m_service.shown.first();
    QCOMPARE(told.appName, "Clipferry");
    QCOMPARE(told.appIcon, "clipferry");
    QCOMPARE(told.summary, "Encoding finished");
    QCOMPARE(told.body, body);
    QCOMPARE(told.hints.value("desktop-entry").toString(), "clipferry");
    // The message box of the files not converted does not wait for the notification.
    QCOMPARE(program.dialogs.texts(), boxes);
}

void TestBatchNotification::notToldOfWhatTheUserSees_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("userWatches");
    QTest::newRow("the window is active") << QStringList{"first.mpg", "second.mpg"} << true;
    QTest::newRow("a single file") << QStringList{"first.mpg"} << false;
}

void TestBatchNotification::notToldOfWhatTheUserSees()
{
    QFETCH(QStringList, files);
    QFETCH(bool, userWatches);
    useSessionBus(m_bus->address());

    StartedProgram program;
    Form1 &window = encode(program, files, userWatches);
    QCOMPARE(window.findChild<DesktopNotification *>(), nullptr);
}

// With a bus that is gone, or without a notification service on it, the notification ends
// quietly; with the service, it is shown. (Without a bus at all: the batch below.)
void TestBatchNotification::whoIsThereToTell_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("service");
    QTest::newRow("a bus that is gone") << "unix:path=/nonexistent/bus" << false;
    QTest::newRow("no notification service") << m_bus->address() << false;
    QTest::newRow("a notification service") << m_bus->address() << true;
}

void TestBatchNotification::whoIsThereToTell()
{
    QFETCH(QString, address);
    QFETCH(bool, service);
    QTemporaryDir runtime; // a session without a bus socket in it
    useSessionBus(address, runtime.path());
    if (!service)
        m_service.stop();

    QObject owner;
    DesktopNotification *notification = DesktopNotification::send(&owner, "summary", "body");
    QSignalSpy finished(notification, &DesktopNotification::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), service);
    QTRY_COMPARE(owner.findChild<DesktopNotification *>(), nullptr); // it went by itself
    if (!service)
        QVERIFY(m_service.resume());
}

// The real batch in a session without D-Bus: no box, no delay, nothing left behind.
void TestBatchNotification::aBatchWithoutASessionBus()
{
    QTemporaryDir runtime;
    useSessionBus({}, runtime.path());
    StartedProgram program;
    Form1 &window = encode(program, {"first.mpg", "second.mpg"});
    auto *notification = window.findChild<DesktopNotification *>();
    QVERIFY(notification);
    QSignalSpy finished(notification, &DesktopNotification::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(program.dialogs.texts(), QStringList());
}

QTEST_MAIN(TestBatchNotification)
#include "test_batch_notification.moc"
