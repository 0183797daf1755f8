// The notification at the end of a batch of several files while the user works elsewhere,
// through a fake service on the tests' own session bus (clipferry_add_test's BUS); without
// a bus or a service, nothing is shown or said. The batches are real, as "Open with" starts them.

#include "window_fixture.h"

#include "clip_generator.h"
#include "desktop/desktop_notification.h"

#include <QDBusConnection>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString serviceName = QStringLiteral("org.freedesktop.Notifications");

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

// The desktop's notification service as far as the program uses it: it records each
// notification it is asked to show.
class FakeNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification
    {
        QString appName, appIcon, summary, body;
        QVariantMap hints;
    };

    // Takes the service's name on the bus at the address; false when that fails.
    bool serveOn(const QString &address)
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, m_connection);
        return bus.isConnected()
               && bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                     this,
                                     QDBusConnection::ExportAllSlots)
               && resume();
    }
    // Gives the name up, and takes it again.
    void stop() { QDBusConnection(m_connection).unregisterService(serviceName); }
    bool resume() { return QDBusConnection(m_connection).registerService(serviceName); }

    QList<Notification> shown;

public slots:
    uint Notify(const QString &appName,
                uint,
                const QString &appIcon,
                const QString &summary,
                const QString &body,
                const QStringList &,
                const QVariantMap &hints,
                int)
    {
        shown.append({appName, appIcon, summary, body, hints});
        return shown.size();
    }

private:
    const QString m_connection = QStringLiteral("fake notification service");
};

class TestBatchNotification : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        makeClip(m_files.filePath("first.mpg"), {.seconds = 1});
        makeClip(m_files.filePath("second.mpg"), {.seconds = 1});
        QFile notes(m_files.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("x") == 1);
        QVERIFY2(!m_bus.isEmpty(), "run it on the tests' session bus, as ctest does");
        QVERIFY(m_service.serveOn(m_bus));
    }

    void toldOnlyWhenTheUserIsElsewhere_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("userWatches");
        QTest::addColumn<QString>("body"); // empty: no notification
        QTest::addColumn<QStringList>("boxes");
        const QStringList two{"first.mpg", "second.mpg"};
        QTest::newRow("all converted") << two << false << "2 files converted." << QStringList{};
        QTest::newRow("one not converted")
                << QStringList{"first.mpg", "notes.txt"} << false
                << "1 file converted, 1 not converted."
                << QStringList{"These files were not converted:\r\n"
                               "notes.txt: not an MPEG or Video CD file"};
        QTest::newRow("the window is active") << two << true << "" << QStringList{};
        QTest::newRow("a single file") << QStringList{"first.mpg"} << false << "" << QStringList{};
    }

    // The message box of the files not converted does not wait for the notification.
    void toldOnlyWhenTheUserIsElsewhere()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, userWatches);
        QFETCH(QString, body);
        useSessionBus(m_bus);
        m_service.shown.clear();

        ProgramFixture program;
        Form1 &window = encode(program, files, userWatches);
        QTEST(program.dialogs.texts(), "boxes");
        if (body.isEmpty()) {
            QCOMPARE(window.findChild<DesktopNotification *>(), nullptr);
            return;
        }
        QTRY_COMPARE(m_service.shown.size(), 1);
        const FakeNotificationService::Notification &told = m_service.shown.first();
        QCOMPARE(told.appName, "Clipferry");
        QCOMPARE(told.appIcon, "clipferry");
        QCOMPARE(told.summary, "Encoding finished");
        QCOMPARE(told.body, body);
        QCOMPARE(told.hints.value("desktop-entry").toString(), "clipferry");
    }

    void whoIsThereToTell_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("service");
        QTest::newRow("no bus at all") << "" << false;
        QTest::newRow("a bus that is gone") << "unix:path=/nonexistent/bus" << false;
        QTest::newRow("no notification service") << m_bus << false;
        QTest::newRow("a notification service") << m_bus << true;
    }

    // Without a bus, with one that is gone, or without a notification service on it, the
    // notification ends quietly; with the service, it is shown. Either way it goes by itself.
    void whoIsThereToTell()
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
        QTRY_COMPARE(owner.findChild<DesktopNotification *>(), nullptr);
        if (!service)
            QVERIFY(m_service.resume());
    }

private:
    // Starts the program with the files, makes another window the active one unless the
    // user watches, and encodes; returns the window once the batch has ended.
    Form1 &encode(ProgramFixture &program, const QStringList &files, bool userWatches = false)
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

    QTemporaryDir m_files;
    const QString m_bus = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    FakeNotificationService m_service;
    QWidget m_elsewhere; // the window the user works in meanwhile
};

QTEST_MAIN(TestBatchNotification)
#include "test_batch_notification.moc"
