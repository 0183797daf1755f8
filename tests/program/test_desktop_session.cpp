// The program in a desktop session of its own: the tests' session bus, with fakes
// of the desktop's portal and of logind on it. A later start of the real program on the same
// C: drive hands its files to the window already open and ends; programs on other drives, or
// without a bus, keep windows of their own. A batch keeps the machine awake and shows its
// progress on the task bar; without the services, or without any bus, it runs as ever.

#include "app/later_starts.h"
#include "clip_generator.h"
#include "desktop/window_handover.h"
#include "encoder/encoder.h"
#include "platform/machine.h"
#include "platform/win_paths.h"
#include "widgets/file_list_box.h"
#include "window_fixture.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDialog>
#include <QDir>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const QString portalRequest = QStringLiteral("/org/freedesktop/portal/desktop/request/1/t");

// Points the program at its buses; an empty address is no bus at all.
void useBuses(const QString &session, const QString &system)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", session.toUtf8());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS",
            system.isEmpty() ? QByteArray("unix:path=/nonexistent/system_bus_socket")
                             : system.toUtf8());
    qputenv("XDG_RUNTIME_DIR", QByteArray()); // no bus socket to fall back on
}

} // namespace

// The desktop's portal as far as inhibiting goes; its request object is FakeRequest.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    QList<std::pair<uint, QVariantMap>> asked; // flags, options
public slots:
    QDBusObjectPath Inhibit(const QString &, uint flags, const QVariantMap &options)
    {
        asked.append({flags, options});
        return QDBusObjectPath(portalRequest);
    }
};

class FakeRequest : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    int closed = 0;
public slots:
    void Close() { ++closed; }
};

// logind's inhibitor locks: the lock is a pipe's end, released when every copy is closed.
class FakeLogind : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~FakeLogind() override { forget(); }
    void forget()
    {
        if (m_lock >= 0)
            ::close(m_lock);
        m_lock = -1;
        asked.clear();
    }
    bool released() const
    {
        pollfd lock{m_lock, POLLIN, 0};
        return ::poll(&lock, 1, 0) == 1 && (lock.revents & POLLHUP);
    }

    QStringList asked; // what, who, why, mode
public slots:
    QDBusUnixFileDescriptor
    Inhibit(const QString &what, const QString &who, const QString &why, const QString &mode)
    {
        forget();
        asked = {what, who, why, mode};
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return {};
        m_lock = ends[0];
        QDBusUnixFileDescriptor handed(ends[1]);
        ::close(ends[1]);
        return handed;
    }

private:
    int m_lock = -1;
};

class LauncherWatch : public QObject
{
    Q_OBJECT
public:
    QStringList uris;
    QList<QVariantMap> updates;
public slots:
    void Update(const QString &uri, const QVariantMap &properties)
    {
        uris.append(uri);
        updates.append(properties);
    }
};

class TestDesktopSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!m_bus.isEmpty(), "run it on the tests' session bus, as ctest does");
        QVERIFY(QDir(m_files.path()).mkpath("a") && QDir(m_files.path()).mkpath("c"));
        for (const char *file : {"c/short.mpg", "c/other.mpg"})
            makeClip(native(file), {.seconds = 1});
        QFile one(native("a/one.mpg"));
        QVERIFY(one.open(QIODevice::WriteOnly) && one.write("x") == 1);
        // The real program on a C: drive of the test's own: a copy, as a link would lead the
        // program to the build's drive.
        QVERIFY(installUserDrive(m_drive.path()));
        const QString program = laterProgram();
        QVERIFY(QFile::remove(program) && QFile::copy(CLIPFERRY_PROGRAM, program));

        QDBusConnection fakes = QDBusConnection::connectToBus(m_bus, "fakes");
        QVERIFY(fakes.registerObject(
                "/org/freedesktop/portal/desktop", &m_portal, QDBusConnection::ExportAllSlots));
        QVERIFY(fakes.registerObject(portalRequest, &m_request, QDBusConnection::ExportAllSlots));
        QVERIFY(fakes.registerObject(
                "/org/freedesktop/login1", &m_logind, QDBusConnection::ExportAllSlots));
        // Docks listen for the launcher entry's signal from anyone.
        QVERIFY(fakes.connect({},
                              {},
                              "com.canonical.Unity.LauncherEntry",
                              "Update",
                              &m_launcher,
                              SLOT(Update(QString, QVariantMap))));
    }

    void laterStart_data()
    {
        QTest::addColumn<QStringList>("arguments"); // relative to the test's folder
        QTest::addColumn<QString>("state");         // of the window when the later start comes
        QTest::addColumn<QStringList>("selected");  // in File1 afterwards
        QTest::addColumn<QString>("notOpened");     // the box's reason; empty: no box

        const QStringList one{"a/one.mpg"};
        const QStringList selected{"one.mpg"};
        QTest::newRow("a file") << one << "idle" << selected << "";
        QTest::newRow("no file: the window comes to the front")
                << QStringList{} << "idle" << QStringList{} << "";
        QTest::newRow("while a message waits, once it is answered")
                << one << "message" << selected << "";
        QTest::newRow("during a batch") << one << "batch" << QStringList{} << "a batch is running";
        QTest::newRow("after a batch, until reset")
                << one << "after batch" << QStringList{}
                << "Select Files shows the last batch until reset";
    }

    // The real program started again on the window's C: drive ends at once; the window takes
    // its files as if given at start, and comes to the front.
    void laterStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, state);
        useBuses(m_bus, {});
        ProgramFixture program;
        QVERIFY(installUserDrive(m_drive.path())); // the drive of the later program
        WindowHandover handover(Machine::current().driveCRoot());
        QVERIFY(!handover.handOver({}, {})); // the first on this drive: the name is ours
        const QStringList batch{native("c/short.mpg"), native("c/other.mpg")};
        Form1 &window = program.start(state.contains("batch") ? batch : QStringList{});
        serveLaterStarts(window, handover);
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));

        QProcess later;
        later.setWorkingDirectory(m_files.path());
        bool started = false;
        const auto startLater = [&] {
            started = true;
            later.start(laterProgram(), arguments);
            QVERIFY(later.waitForStarted());
            QSignalSpy ended(&later, &QProcess::finished);
            QVERIFY(ended.wait(30000)); // the batch and the window go on meanwhile
        };
        if (state == "batch") {
            QObject::connect(window.jobSetup().Encoder.get(),
                             &MediaEncoder::stateChanged,
                             &later,
                             [&](qint32 s) {
                                 if (s == EncoderRunning && !started)
                                     startLater();
                             });
            QTest::mouseClick(window.cmdStart, Qt::LeftButton);
            QTRY_VERIFY(window.isActiveWindow());
        } else {
            if (state == "after batch")
                QTest::mouseClick(window.cmdStart, Qt::LeftButton);
            QDialog message(&window);
            if (state == "message") {
                message.setModal(true);
                message.show();
            }
            startLater();
            QCoreApplication::sendPostedEvents();
            if (state == "message") { // it comes to the front, as the window takes no input
                QTRY_VERIFY(message.isActiveWindow());
                QCOMPARE(listed(*window.File1, true), QStringList());
                message.hide();
            } else {
                QTRY_VERIFY(window.isActiveWindow());
            }
        }
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);

        QFETCH(QStringList, selected);
        if (!selected.isEmpty())
            QTRY_COMPARE(listed(*window.File1, true), selected);
        QFETCH(QString, notOpened);
        QStringList boxes;
        if (!notOpened.isEmpty())
            boxes.append("These files were not opened:\r\n" + toWindowsPath(native(arguments[0]))
                         + ": " + notOpened);
        QTRY_COMPARE(program.dialogs.texts().filter("not opened"), boxes);
    }

    // Programs of other C: drives take names of their own; without a session bus (or with one
    // that is gone) every start keeps its own window.
    void startsThatKeepTheirOwnWindow_data()
    {
        QTest::addColumn<QString>("bus");
        QTest::newRow("another C: drive") << m_bus;
        QTest::newRow("no bus at all") << "";
        QTest::newRow("a bus that is gone") << "unix:path=/nonexistent/bus";
    }

    void startsThatKeepTheirOwnWindow()
    {
        QFETCH(QString, bus);
        useBuses(bus, {});
        QTemporaryDir first, second;
        WindowHandover running(first.path());
        WindowHandover later(second.path());
        QVERIFY(!running.handOver({}, {}));
        QList<QStringList> handed;
        running.serve([&](const QStringList &paths, const QVariantMap &) { handed.append(paths); });
        QVERIFY(!later.handOver({native("a/one.mpg")}, {}));
        QVERIFY(WindowHandover::busName(first.path()) != WindowHandover::busName(second.path()));
        QCoreApplication::processEvents();
        QCOMPARE(handed, QList<QStringList>());
        if (!bus.isEmpty() && bus == m_bus) // the later one took its own drive's name
            QVERIFY(QDBusConnection("fakes").interface()->isServiceRegistered(
                    WindowHandover::busName(second.path())));
    }

    void batchOnTheDesktop_data()
    {
        QTest::addColumn<bool>("buses");
        QTest::addColumn<bool>("portal");
        QTest::addColumn<bool>("logind");
        QTest::addColumn<bool>("closedMidway"); // the window is closed during the first file
        QTest::newRow("the portal") << true << true << true << false;
        QTest::newRow("logind where there is no portal") << true << false << true << false;
        QTest::newRow("neither service") << true << false << false << false;
        QTest::newRow("no bus at all") << false << false << false << false;
        QTest::newRow("the window closed during the batch") << true << true << false << true;
    }

    // The machine stays awake until the batch ends (also when the window closes), and the
    // task bar shows the batch's progress and the files left, cleared at the end.
    void batchOnTheDesktop()
    {
        QFETCH(bool, buses);
        QFETCH(bool, portal);
        QFETCH(bool, logind);
        QFETCH(bool, closedMidway);
        useBuses(buses ? m_bus : QString(), buses ? m_bus : QString());
        QDBusConnection fakes("fakes");
        fakes.unregisterService("org.freedesktop.portal.Desktop");
        fakes.unregisterService("org.freedesktop.login1");
        QVERIFY(!portal || fakes.registerService("org.freedesktop.portal.Desktop"));
        QVERIFY(!logind || fakes.registerService("org.freedesktop.login1"));
        m_portal.asked.clear();
        m_request.closed = 0;
        m_logind.forget();
        m_launcher.updates.clear();

        ProgramFixture program;
        Form1 &window = program.start({native("c/short.mpg"), native("c/other.mpg")});
        // The first file goes on once the desktop has heard of the batch, however slow the
        // machine: a batch that ends before the bus is reached asks nothing.
        bool first = true;
        QObject::connect(window.jobSetup().Encoder.get(),
                         &MediaEncoder::stateChanged,
                         &window,
                         [&](qint32 s) {
                             if (s != EncoderRunning || !std::exchange(first, false))
                                 return;
                             // As a tick shows it; the bar empties when the file ends.
                             window.ProgressBar1->setValue(50);
                             QTRY_VERIFY(!buses || !m_launcher.updates.isEmpty());
                             QTRY_VERIFY(!(portal || logind)
                                         || m_portal.asked.size() + m_logind.asked.size() > 0);
                             if (closedMidway)
                                 window.close();
                         });
        QTest::mouseClick(window.cmdStart, Qt::LeftButton); // returns when the batch has ended
        QCOMPARE(program.dialogs.texts(), QStringList());

        if (portal) {
            QCOMPARE(m_portal.asked.size(), 1);
            QCOMPARE(m_portal.asked[0].first, 4u); // suspend
            QCOMPARE(m_portal.asked[0].second.value("reason").toString(), "Converting videos");
            QTRY_COMPARE(m_request.closed, 1);
        } else if (logind) {
            QCOMPARE(m_logind.asked,
                     QStringList({"sleep", "Clipferry", "Converting videos", "block"}));
            QTRY_VERIFY(m_logind.released());
        }
        QCOMPARE(m_logind.asked.isEmpty(), !logind || portal);

        if (!buses) {
            QTest::qWait(200);
            QCOMPARE(m_launcher.updates, QList<QVariantMap>());
            return;
        }
        const QVariantMap cleared{{"progress-visible", false}, {"count-visible", false}};
        QTRY_COMPARE(m_launcher.updates.value(m_launcher.updates.size() - 1), cleared);
        QCOMPARE(QSet<QString>(m_launcher.uris.begin(), m_launcher.uris.end()),
                 QSet<QString>{"application://clipferry.desktop"});
        QList<qlonglong> counts;
        double progress = 0;
        for (const QVariantMap &update : m_launcher.updates.mid(0, m_launcher.updates.size() - 1)) {
            QVERIFY(update.value("progress-visible").toBool()
                    && update.value("count-visible").toBool());
            QVERIFY(update.value("progress").toDouble() >= progress);
            progress = update.value("progress").toDouble();
            if (counts.value(counts.size() - 1) != update.value("count").toLongLong())
                counts.append(update.value("count").toLongLong());
        }
        QVERIFY(progress <= 1);
        QCOMPARE(counts, (QList<qlonglong>{2, 1})); // closed: the file stopped counts as done
    }

private:
    QString native(const QString &relative) const { return m_files.filePath(relative); }
    QString laterProgram() const
    {
        return m_drive.filePath("drive_c/Program Files/Clipferry/clipferry");
    }

    const QString m_bus = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    QTemporaryDir m_files;
    QTemporaryDir m_drive;
    FakePortal m_portal;
    FakeRequest m_request;
    FakeLogind m_logind;
    LauncherWatch m_launcher;
};

QTEST_MAIN(TestDesktopSession)
#include "test_desktop_session.moc"
