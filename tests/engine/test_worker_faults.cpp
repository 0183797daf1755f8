// Faults through the real worker on real files: workers that die in either pass, outputs the
// user may not change, names at the file system's limit, and a duration read that hangs and
// is stopped. (Hosts that die mid-file: tests/program/test_host_goes_away.)

#include "as_nobody.h"
#include "clip_generator.h"
#include "engine_machine.h"
#include "platform/encoder_host.h"
#include "platform/worker_backend.h"

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Earlier = "an earlier, good result";

// An encoder over a worker backend the test can reach, for the worker's process id.
struct WorkerSetup
{
    WorkerBackend *worker = nullptr;
    std::unique_ptr<Setup> setup;

    explicit WorkerSetup(TempMachine &m)
    {
        auto backend = std::make_unique<WorkerBackend>(m.native(EncoderFolder), EncoderFolder);
        worker = backend.get();
        setup = std::make_unique<Setup>(std::make_unique<MediaEncoder>(std::move(backend)));
    }
    bool reachedPass(int pass) // some frames of that pass (1 or 2) encoded
    {
        return QTest::qWaitFor(
                [&] {
                    const EncoderStatistics s = setup->encoder->statistics();
                    return worker->workerProcessId() > 0 && s.pass == pass && s.frames > 0;
                },
                60000);
    }
    QString failureAtTheEnd()
    {
        return setup->codesWhenStopped().endsWith(EncoderStopped) ? setup->encoder->lastFailure()
                                                                  : QStringLiteral("(no end)");
    }
};

} // namespace

class TestWorkerFaults : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_clips;                          // made once for all tests
    QString m_short = m_clips.filePath("clip.mpg"); // 3 seconds
    QString m_long = m_clips.filePath("long.mpg");  // 60 seconds

private slots:
    void initTestCase()
    {
        makeClip(m_short, {});
        makeClip(m_long, {.seconds = 60});
    }

    void workerDiesMidFile_data()
    {
        QTest::addColumn<qint16>("passes"); // as the audio source takes them: 0 one, 1 two
        QTest::addColumn<int>("pass");      // the pass the worker dies in
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("how");
        const QString killed = ": its worker process was ended by signal 9 (Killed).";
        QTest::newRow("one pass, killed") << qint16(0) << 1 << SIGKILL << killed;
        QTest::newRow("pass 1 of 2, killed")
                << qint16(1) << 1 << SIGKILL << " (pass 1 of 2)" + killed;
        QTest::newRow("pass 2 of 2, killed")
                << qint16(1) << 2 << SIGKILL << " (pass 2 of 2)" + killed;
        // Only libavcodec's refusal of the final pass makes a one-pass redo (test_encoder_host);
        // another abort, even in that pass, is a crash like any other.
        QTest::newRow("pass 2 of 2, aborted")
                << qint16(1) << 2 << SIGABRT
                << " (pass 2 of 2): its worker process was ended by signal 6 (Aborted).";
    }

    // The file fails with the way its worker ended, is not made again in one pass, and the
    // earlier file of its name stays as it was.
    void workerDiesMidFile()
    {
        QFETCH(qint16, passes);
        QFETCH(int, pass);
        QFETCH(int, signal);
        auto m = engineMachine({m_long});
        const QString clips = m->native("C:\\clips");
        writeFile(clips + "/long.wmv", Earlier);
        WorkerSetup w(*m);
        w.setup->prepare("C:\\clips\\long.mpg", "C:\\clips\\long.wmv", passes);
        w.setup->encoder->start();
        QVERIFY(w.reachedPass(pass));
        QCOMPARE(::kill(static_cast<pid_t>(w.worker->workerProcessId()), signal), 0);

        QFETCH(QString, how);
        QCOMPARE(w.failureAtTheEnd(),
                 "The encoder stopped unexpectedly while converting C:\\clips\\long.mpg" + how);
        QCOMPARE(w.setup->encoder->lastNotice(), QString());
        QCOMPARE(w.worker->workerProcessId(), 0);
        QCOMPARE(contentOf(clips + "/long.wmv"), Earlier);
        QCOMPARE(temporariesIn(clips), QStringList());
    }

    void readOnlyOutputStays_data()
    {
        QTest::addColumn<bool>("meanwhile"); // made read-only only once the conversion runs
        QTest::newRow("read-only from the start") << false;
        QTest::newRow("made read-only meanwhile") << true;
    }

    // Renaming the finished file over a read-only one would work: the engine looks first,
    // before the conversion and again before that rename.
    void readOnlyOutputStays()
    {
        QFETCH(bool, meanwhile);
        auto m = engineMachine({m_long});
        const QString output = m->native("C:\\clips") + "/long.wmv";
        writeFile(output, Earlier);
        WorkerSetup w(*m);
        w.setup->prepare("C:\\clips\\long.mpg", "C:\\clips\\long.wmv");
        if (!meanwhile)
            QVERIFY(QFile::setPermissions(output, QFile::ReadOwner));
        w.setup->encoder->start();
        if (meanwhile)
            QVERIFY(w.reachedPass(1) && QFile::setPermissions(output, QFile::ReadOwner));
        QCOMPARE(w.failureAtTheEnd(),
                 "Cannot write the output C:\\clips\\long.wmv: the file exists and is read-only.");
        QCOMPARE(contentOf(output), Earlier);
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
    }

    // Someone else's file that the user may not write, in a folder the user may write to:
    // cf-encode run as nobody over a file of root's.
    void someoneElsesOutputStays()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to leave a file of root's where the user nobody converts");
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        QVERIFY(QFile::copy(m_short, dir.filePath("clip.mpg")));
        writeFile(dir.filePath("clip.wmv"), Earlier); // root's, 0644
        const NobodyRun encode
                = runAsNobody(CF_ENCODE, {dir.filePath("clip.mpg"), dir.filePath("clip.wmv")});
        const QString errors = QString::fromLocal8Bit(encode.errors);
        const QString shown = "Z:" + QString(dir.filePath("clip.wmv")).replace('/', '\\');
        QVERIFY2(encode.exitCode == 1
                         && errors.contains("Cannot write the output " + shown
                                            + ": the file exists and is read-only."),
                 qPrintable(errors));
        QCOMPARE(contentOf(dir.filePath("clip.wmv")), Earlier);
        QCOMPARE(temporariesIn(dir.path()), QStringList());
    }

    void namesAtTheLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("250 bytes") << QString(246, 'n') + ".wmv";
        QTest::newRow("255 bytes") << QString(251, 'n') + ".wmv";
        QTest::newRow("254 bytes, two each") << QString(125, QChar(0xe9)) + ".wmv";
    }

    // The hidden temporary's name does not grow with the output's.
    void namesAtTheLimit()
    {
        QFETCH(QString, name);
        auto m = engineMachine({m_short});
        WorkerSetup w(*m);
        w.setup->prepare("C:\\clips\\clip.mpg", "C:\\clips\\" + name);
        w.setup->encoder->start();
        QCOMPARE(w.failureAtTheEnd(), QString());
        const QString clips = m->native("C:\\clips");
        QVERIFY(inspectMedia(clips + "/" + name).decodedFrames > 0);
        QCOMPARE(temporariesIn(clips), QStringList());
    }

    void hangingReadIsStopped_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what a handler does while the read waits
        QTest::addColumn<QString>("failure");   // what that handler's call failed with
        const QString busy = "The encoder is busy reading C:\\clips\\pipe.mpg.";
        QTest::newRow("stop") << "stop" << QString();
        QTest::newRow("second set-up, then stop") << "prepare" << busy;
        QTest::newRow("start, then stop") << "start" << busy;
        QTest::newRow("encoder destroyed") << "destroy" << QString();
    }

    // A pipe that nobody writes to keeps the duration read waiting, as a hung network share
    // would: the thread's event loop goes on meanwhile, a stop ends the read at once and
    // kills its worker, and the encoder can be set up again.
    void hangingReadIsStopped()
    {
        QFETCH(QString, meanwhile);
        auto m = engineMachine({m_short});
        QCOMPARE(::mkfifo(qPrintable(m->native("C:\\clips") + "/pipe.mpg"), 0644), 0);
        WorkerSetup w(*m);
        MediaEncoder *encoder = w.setup->encoder.get();
        int ticks = 0;
        qint64 reader = 0;
        QString failure;
        QTimer handlers; // stands for the window's own events
        connect(&handlers, &QTimer::timeout, this, [&] {
            reader = reader ? reader : w.worker->workerProcessId();
            if (++ticks != 20)
                return;
            if (meanwhile != "stop" && meanwhile != "destroy")
                failure = failureOf([&] {
                    meanwhile == "start" ? encoder->start() : encoder->prepareToEncode(true);
                });
            meanwhile == "destroy" ? w.setup.reset() : encoder->stop();
        });
        handlers.start(10);
        const QString ended = failureOf(
                [&] { w.setup->prepare("C:\\clips\\pipe.mpg", "C:\\clips\\pipe.wmv"); });
        handlers.stop();
        QCOMPARE(ended, "Stopped before converting C:\\clips\\pipe.mpg.");
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        QTEST(failure, "failure");
        QTRY_VERIFY(reader > 0 && ::kill(static_cast<pid_t>(reader), 0) != 0);
        if (!w.setup)
            return;
        QCOMPARE(failureOf([&] { encoder->start(); }),
                 "The encoder has not been set up for a file, so there is nothing to convert.");
        w.setup->prepare("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv");
        QVERIFY(std::abs(w.setup->audio.duration() - 3000) <= 60);
    }
};

QTEST_GUILESS_MAIN(TestWorkerFaults)
#include "test_worker_faults.moc"
