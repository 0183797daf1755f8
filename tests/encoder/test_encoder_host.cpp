// The encoder object model over the real worker process and engine module: inputs it cannot
// use, stops, workers that die, outputs the user may not change, long names and a duration
// read that hangs. (Hosts that die mid-file: tests/program/test_host_goes_away.)

#include "as_nobody.h"
#include "clip_generator.h"
#include "engine_machine.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray Earlier = "an earlier, good result";

// Stands in for the worker where its words or its timing must be forced: it answers the
// handshake and the duration read as the worker does, and runs `encode` (shell) for an encode.
void fakeWorker(TempMachine &m, const QByteArray &encode)
{
    const QString worker = m.native(EncoderFolder) + "/WMEncWorker";
    QVERIFY(QFile::remove(worker));
    writeFile(worker,
              "#!/bin/sh\ncase $1 in\nhello) echo 'ready 1 stand-in';;\n"
              "probe) echo 'duration 60000';;\n*) "
                      + encode + ";;\nesac\n");
    QVERIFY(QFile::setPermissions(worker, QFile::ReadOwner | QFile::ExeOwner));
}
} // namespace

class TestEncoderHost : public QObject
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

    void unusableInputsAreDescribed_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("reason");     // empty: a cut-off file, which may be converted
        const QString unreadable = "it is not a video or audio file that the encoder can read";
        QTest::newRow("missing") << QByteArray() << "No such file or directory";
        QTest::newRow("zero length") << QByteArray("") << "the file is empty";
        QTest::newRow("not video") << QByteArray("shopping list\n").repeated(100) << unreadable;
        QTest::newRow("corrupt") << QByteArray("\x00\x00\x01\xba garbage ", 13).repeated(4000)
                                 << unreadable;
        QTest::newRow("truncated") << contentOf(m_short).left(4000) << QString();
    }

    // Failures show at the set-up switch or through the last failure, never as a crash or hang.
    void unusableInputsAreDescribed()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        auto m = engineMachine({});
        if (!content.isNull())
            writeFile(m->native("C:\\clips") + "/bad.mpg", content);
        const QString failure = Setup(*m).convert("C:\\clips\\bad.mpg", "C:\\clips\\bad.wmv");
        if (reason.isEmpty())
            QVERIFY2(failure.isEmpty() || failure.startsWith("Cannot "), qPrintable(failure));
        else
            QCOMPARE(failure, "Cannot open the input C:\\clips\\bad.mpg: " + reason);
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
    }

    // The engine's built-ins come first, then the folder's ".prx" files by file name, letter
    // case aside, named by their content; files that are no profile are skipped. A profile
    // that starves the second pass gets its file made in one pass, with a notice.
    void folderProfilesAndTwoPassAbort()
    {
        auto m = engineMachine({m_short});
        const QString profiles = m->native(EncoderFolder + "\\Profiles") + "/";
        writeFile(profiles + "aardvark.prx",
                  contentOf(profiles + "Kestrel Medium.prx")
                          .replace("Name=Kestrel Medium", "Name=Starved")
                          .replace("VideoBitRate=300000", "VideoBitRate=10000"));
        writeFile(profiles + "broken.prx", "[Clipferry Profile]\nVersion=1\nName=Broken\n");
        writeFile(profiles + "notes.txt", "not a profile");
        Setup s(*m, "Starved");
        QStringList names;
        for (int i = 0; i < s.encoder->profileCollection().count(); ++i)
            names << s.encoder->profileCollection().item(i).name();
        QCOMPARE(names.mid(3),
                 QStringList({"Starved", "Kestrel High", "Kestrel Low", "Kestrel Medium"}));

        QCOMPARE(s.convert("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv", 1), QString());
        QCOMPARE(s.encoder->lastNotice(),
                 "converted in one pass: two-pass encoding cannot reach the profile's video bit "
                 "rate of 10000 bits per second for this file");
        QVERIFY(inspectMedia(m->native("C:\\clips\\clip.wmv")).decodedFrames > 0);
        // The next file starts without a notice of its own.
        QCOMPARE(s.convert("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv"), QString());
        QCOMPARE(s.encoder->lastNotice(), QString());
    }

    // A damaged file is converted, and what the worker skipped over reaches the remark.
    void damagedFileIsRemarked()
    {
        auto m = engineMachine({});
        const QString clips = m->native("C:\\clips");
        makeClip(clips + "/clean.mpg", {.seconds = 4, .dvd = true});
        writeFile(clips + "/damaged.mpg", damageBytes(contentOf(clips + "/clean.mpg"), 1, 2000));
        Setup s(*m);
        QCOMPARE(s.convert("C:\\clips\\damaged.mpg", "C:\\clips\\damaged.wmv"), QString());
        QVERIFY2(s.encoder->lastNotice().startsWith("damaged parts of it were skipped over"),
                 qPrintable(s.encoder->lastNotice()));
    }

    void endsMidFile_data()
    {
        QTest::addColumn<qint16>("passes"); // as the audio source takes them: 0 one, 1 two
        QTest::addColumn<int>("pass");      // the pass it ends in
        QTest::addColumn<int>("signal");    // sent to the worker; 0: stop() twice
        QTest::addColumn<QString>("failure");
        const QString died
                = "The encoder stopped unexpectedly while converting C:\\clips\\long.mpg";
        const QString killed = ": its worker process was ended by signal 9 (Killed).";
        QTest::newRow("stopped") << qint16(0) << 1 << 0 << QString();
        // Needs an engine that writes nothing when stopped in its first pass.
        QTest::newRow("pass 1 of 2, stopped")
                << qint16(1) << 1 << 0 << "Stopped before converting C:\\clips\\long.mpg.";
        QTest::newRow("one pass, killed") << qint16(0) << 1 << SIGKILL << died + killed;
        QTest::newRow("pass 1 of 2, killed")
                << qint16(1) << 1 << SIGKILL << died + " (pass 1 of 2)" + killed;
        // Only the engine's rate-control refusal makes a one-pass redo; an abort is a crash.
        QTest::newRow("pass 2 of 2, aborted")
                << qint16(1) << 2 << SIGABRT
                << died + " (pass 2 of 2): its worker process was ended by signal 6 (Aborted).";
    }

    // A stop keeps the shorter file, playable, under its final name, and the encoder converts
    // the next file; a stop in the first of two passes, which writes nothing, and a worker that
    // dies fail the file without a redo, and the earlier file of its name stays.
    void endsMidFile()
    {
        QFETCH(qint16, passes);
        QFETCH(int, pass);
        QFETCH(int, signal);
        auto m = engineMachine({m_long, m_short});
        const QString output = m->native("C:\\clips") + "/long.wmv";
        writeFile(output, Earlier);
        Setup s(*m);
        s.encoder->stop(); // idle: nothing to stop
        const QString failure
                = s.convert("C:\\clips\\long.mpg", "C:\\clips\\long.wmv", passes, [&] {
                      QVERIFY(s.reachedPass(pass));
                      if (signal)
                          QCOMPARE(::kill(static_cast<pid_t>(s.worker->workerProcessId()), signal),
                                   0);
                      for (int i = 0; i < (signal ? 0 : 2); ++i)
                          s.encoder->stop();
                  });
        QTEST(failure, "failure");
        const QList<int> codes = s.codesWhenStopped();
        QCOMPARE(codes.first(), EncoderStarting);
        QCOMPARE(codes.count(EncoderStopped), 1);
        QCOMPARE(s.encoder->lastNotice(), QString());
        QCOMPARE(s.worker->workerProcessId(), 0);
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
        QCOMPARE(s.encoder->lastStop(),
                 signal ? MediaEncoder::StopOutcome::NotStopped
                        : (passes ? MediaEncoder::StopOutcome::BeforeOutput
                                  : MediaEncoder::StopOutcome::PartKept));
        if (signal || passes) {
            QCOMPARE(contentOf(output), Earlier);
            return;
        }
        QVERIFY(codes.contains(EncoderStopping) && inspectMedia(output).decodedFrames > 0
                && inspectMedia(output).durationMs < 55000);
        QCOMPARE(s.convert("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv"), QString());
    }

    // The host's side of a stop in the first of two passes, which writes nothing (a stand-in
    // worker says so as the engine does): the file fails as stopped before converting, its
    // temporary goes and the earlier file of the output's name stays.
    void stopBeforeOutput()
    {
        auto m = engineMachine({});
        const QString clips = m->native("C:\\clips");
        writeFile(clips + "/long.wmv", Earlier);
        fakeWorker(*m, "echo 'stats 1 0 0 0 9'; read line; echo 'failed 6 stopped'; exit 1");
        Setup s(*m);
        QCOMPARE(s.convert("C:\\clips\\long.mpg",
                           "C:\\clips\\long.wmv",
                           1,
                           [&] {
                               QVERIFY(s.reachedPass(1));
                               s.encoder->stop();
                           }),
                 "Stopped before converting C:\\clips\\long.mpg.");
        QCOMPARE(s.encoder->lastStop(), MediaEncoder::StopOutcome::BeforeOutput);
        QCOMPARE(contentOf(clips + "/long.wmv"), Earlier);
        QCOMPARE(temporariesIn(clips), QStringList());
    }

    void damagedEngineFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("cut"); // bytes left; negative: bytes cut off the end
        QTest::newRow("module cut to 5000 bytes") << "WMEncEng.dll" << 5000;
        QTest::newRow("module without its last byte") << "WMEncEng.dll" << -1;
        QTest::newRow("worker cut to 5000 bytes") << "WMEncWorker" << 5000;
    }

    // A damaged engine file is named as damaged, never as a worker ended by SIGBUS.
    void damagedEngineFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, cut);
        auto m = engineMachine({});
        const QString path = m->native(EncoderFolder) + '/' + file;
        const QByteArray whole = contentOf(path);
        QVERIFY(QFile::remove(path));
        writeFile(path, whole.left(cut > 0 ? cut : whole.size() + cut));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
        const QString failure = failureOf([&] { Setup s(*m); });
        const QRegularExpression damaged(
                "^The encoder engine could not be loaded: C:\\\\Program Files\\\\Windows Media "
                "Components\\\\Encoder\\\\"
                + file
                + " is damaged: the file ends after (\\d+) bytes, but its contents need "
                  "(\\d+)\\.$");
        const QRegularExpressionMatch match = damaged.match(failure);
        QVERIFY2(match.hasMatch(), qPrintable(failure));
        QVERIFY(match.captured(2).toLongLong() > match.captured(1).toLongLong());
    }

    // A worker that cannot be started at all ends its file at once, and the encoder is idle
    // again, even when the start fails before it returns: one descriptor is left (for the
    // output's temporary), too few for the worker's pipes.
    void workerThatDoesNotStart()
    {
        auto m = engineMachine({m_short});
        Setup s(*m);
        s.prepare("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv");
        rlimit limit{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit saved = limit;
        limit.rlim_cur = static_cast<rlim_t>(::dup(0)) + 1; // the lowest free one
        ::close(static_cast<int>(limit.rlim_cur - 1));
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
        s.states.clear();
        s.encoder->start();
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &saved), 0);
        QCOMPARE(s.codesWhenStopped(), QList<int>({EncoderStarting, EncoderStopped}));
        QVERIFY2(s.encoder->lastFailure().startsWith("The encoder engine could not be loaded: "
                                                     + EncoderFolder
                                                     + "\\WMEncWorker does not start ("),
                 qPrintable(s.encoder->lastFailure()));
        QCOMPARE(s.convert("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv"), QString());
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
    }

    void readOnlyOutputStays_data()
    {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<QString>("reason"); // empty: as the file system words it
        const QString readOnly = "the file exists and is read-only.";
        // Renaming over a read-only file would work: the engine looks again before that rename
        // (a file read-only from the start meets the same look).
        QTest::newRow("file made read-only meanwhile") << "meanwhile" << readOnly;
        QTest::newRow("folder read-only") << "folder" << QString();
    }

    void readOnlyOutputStays()
    {
        QFETCH(QString, locked);
        QFETCH(QString, reason);
        auto m = engineMachine({m_long});
        const QString clips = m->native("C:\\clips");
        writeFile(clips + "/long.wmv", Earlier);
        std::optional<ReadOnlyFolder> folder;
        if (locked == "folder" && !folder.emplace(clips).locked())
            QSKIP("this file system cannot make a folder read-only here");
        Setup s(*m);
        const QString failure = s.convert("C:\\clips\\long.mpg", "C:\\clips\\long.wmv", 0, [&] {
            if (locked == "meanwhile")
                QVERIFY(s.reachedPass(1)
                        && QFile::setPermissions(clips + "/long.wmv", QFile::ReadOwner));
        });
        const QString prefix = "Cannot write the output C:\\clips\\long.wmv: ";
        QVERIFY2(failure.startsWith(prefix) && (reason.isEmpty() || failure == prefix + reason),
                 qPrintable(failure));
        QCOMPARE(contentOf(clips + "/long.wmv"), Earlier);
        QCOMPARE(temporariesIn(clips), QStringList());
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
        const NobodyRun run
                = runAsNobody(CF_ENCODE, {dir.filePath("clip.mpg"), dir.filePath("clip.wmv")});
        const QString errors = QString::fromLocal8Bit(run.errors);
        const QString shown = "Z:" + QString(dir.filePath("clip.wmv")).replace('/', '\\');
        QVERIFY2(run.exitCode == 1
                         && errors.contains("Cannot write the output " + shown
                                            + ": the file exists and is read-only."),
                 qPrintable(errors));
        QCOMPARE(contentOf(dir.filePath("clip.wmv")), Earlier);
        QCOMPARE(temporariesIn(dir.path()), QStringList());
    }

    void namesAtTheLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("255 bytes") << QString(251, 'n') + ".wmv";
        QTest::newRow("254 bytes, two each") << QString(125, QChar(0xe9)) + ".wmv";
    }

    // The hidden temporary's name does not grow with the output's.
    void namesAtTheLimit()
    {
        QFETCH(QString, name);
        auto m = engineMachine({m_short});
        QCOMPARE(Setup(*m).convert("C:\\clips\\clip.mpg", "C:\\clips\\" + name), QString());
        QVERIFY(inspectMedia(m->native("C:\\clips") + "/" + name).decodedFrames > 0);
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
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

    // A pipe nobody writes to keeps the duration read waiting, as a hung share would: events
    // go on meanwhile, a stop ends the read at once and kills its worker. Set up again, the
    // encoder converts: states come queued, statistics only grow and end at the file's size.
    void hangingReadIsStopped()
    {
        QFETCH(QString, meanwhile);
        auto m = engineMachine({m_short});
        QCOMPARE(::mkfifo(qPrintable(m->native("C:\\clips") + "/pipe.mpg"), 0644), 0);
        auto s = std::make_unique<Setup>(*m);
        MediaEncoder *encoder = s->encoder.get();
        WorkerBackend *worker = s->worker;
        int ticks = 0;
        qint64 reader = 0;
        QString failure;
        QTimer handlers; // stands for the window's own events
        connect(&handlers, &QTimer::timeout, this, [&] {
            reader = reader ? reader : worker->workerProcessId();
            if (++ticks != 20)
                return;
            if (meanwhile == "start" || meanwhile == "prepare")
                failure = failureOf([&] {
                    meanwhile == "start" ? encoder->start() : encoder->prepareToEncode(true);
                });
            meanwhile == "destroy" ? s.reset() : encoder->stop();
        });
        handlers.start(10);
        const QString ended
                = failureOf([&] { s->prepare("C:\\clips\\pipe.mpg", "C:\\clips\\pipe.wmv"); });
        handlers.stop();
        QCOMPARE(ended, "Stopped before converting C:\\clips\\pipe.mpg.");
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        QTEST(failure, "failure");
        QTRY_VERIFY(reader > 0 && ::kill(static_cast<pid_t>(reader), 0) != 0);
        if (!s)
            return;
        QCOMPARE(failureOf([&] { encoder->start(); }),
                 "The encoder has not been set up for a file, so there is nothing to convert.");
        s->prepare("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv");
        QVERIFY(std::abs(s->audio.duration() - 3000) <= 60);
        encoder->stop(); // only set up: nothing to stop
        QList<EncoderStatistics> seen;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this, [&] { seen.append(encoder->statistics()); });
        sampler.start(5);
        encoder->start();
        QVERIFY(s->states.isEmpty()); // never from inside start()
        QCOMPARE(s->codesWhenStopped(),
                 QList<int>({EncoderStarting, EncoderRunning, EncoderStopped}));
        QCOMPARE(encoder->lastFailure(), QString());
        for (qsizetype i = 1; i < seen.size(); ++i)
            QVERIFY(seen[i].archiveBytes >= seen[i - 1].archiveBytes
                    && seen[i].archiveMs >= seen[i - 1].archiveMs);
        const EncoderStatistics last = encoder->statistics();
        QCOMPARE(last.archiveBytes, inspectMedia(m->native("C:\\clips\\clip.wmv")).bytes);
        QVERIFY(last.archiveMs >= 2900 && last.bitRate > 0);
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestEncoderHost)
#include "test_encoder_host.moc"
