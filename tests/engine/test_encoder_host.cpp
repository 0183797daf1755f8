// The encoder object model over the real worker process and engine module, on a machine of
// temporary folders whose encoder folder links to the build's engine. (A broken engine at
// creation: test_app_startup's brokenEngine, through the window.)

#include "clip_generator.h"
#include "engine_machine.h"
#include "platform/encoder_host.h"
#include "platform/worker_backend.h"

class TestEncoderHost : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_clips;                          // made once for all tests
    QString m_short = m_clips.filePath("clip.mpg"); // 3 seconds
    QString m_long = m_clips.filePath("long.mpg");  // 60 seconds

    std::unique_ptr<TempMachine> machine() { return engineMachine({m_short, m_long}); }

private slots:
    void initTestCase()
    {
        makeClip(m_short, {});
        makeClip(m_long, {.seconds = 60});
    }

    // The duration is known at the set-up switch; states come queued; statistics only grow and
    // end at the file's size; no temporary is left. (Two passes give one "running" as well: the
    // two-pass redo below.)
    void encodesLikeTheWindowDoes()
    {
        auto m = machine();
        Setup setup(createEncoder(m->machine()));
        m->makeFolder("C:\\out");
        setup.prepare("C:\\clips\\clip.mpg", "C:\\out\\clip.wmv");
        QVERIFY2(std::abs(setup.audio.duration() - 3000) <= 60,
                 qPrintable(QString::number(setup.audio.duration())));

        QList<EncoderStatistics> seen;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this, [&] {
            seen.append(setup.encoder->statistics());
        });
        sampler.start(5);
        setup.encoder->start();
        QVERIFY(setup.states.isEmpty()); // never from inside start()
        QCOMPARE(setup.codesWhenStopped(),
                 QList<int>({EncoderStarting, EncoderRunning, EncoderStopped}));
        sampler.stop();
        QCOMPARE(setup.encoder->lastFailure(), QString());
        for (qsizetype i = 1; i < seen.size(); ++i) {
            QVERIFY(seen[i].archiveBytes >= seen[i - 1].archiveBytes);
            QVERIFY(seen[i].archiveMs >= seen[i - 1].archiveMs);
        }
        const EncoderStatistics last = setup.encoder->statistics();
        QCOMPARE(last.archiveBytes, inspectMedia(m->native("C:\\out\\clip.wmv")).bytes);
        QVERIFY(last.archiveMs >= 2900 && last.bitRate > 0);
        QCOMPARE(entriesOf(m->native("C:\\out")), QStringList{"clip.wmv"});
    }

    // Stop does nothing while idle or only set up; mid-way it ends the file, which plays and is
    // shorter, under its final name. (Workers that die, and hosts that do: test_worker_faults.)
    void stopMidEncode()
    {
        auto m = machine();
        Setup setup(createEncoder(m->machine()));
        setup.encoder->stop();
        setup.prepare("C:\\clips\\long.mpg", "C:\\clips\\long.wmv");
        setup.encoder->stop();
        setup.encoder->start();
        QTRY_VERIFY_WITH_TIMEOUT(setup.encoder->statistics().archiveMs > 0, 30000);
        setup.encoder->stop();
        setup.encoder->stop(); // a second stop changes nothing
        const QList<int> codes = setup.codesWhenStopped();
        QCOMPARE(codes.first(), EncoderStarting); // nothing came of the stops before the start
        QVERIFY(codes.contains(EncoderStopping));
        QCOMPARE(codes.count(EncoderStopped), 1);
        QCOMPARE(setup.encoder->lastFailure(), QString());
        const MediaFacts facts = inspectMedia(m->native("C:\\clips") + "/long.wmv");
        QVERIFY2(facts.decodedFrames > 0 && facts.durationMs < 55000,
                 qPrintable(QString::number(facts.durationMs)));
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
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
        auto m = machine();
        if (!content.isNull())
            writeFile(m->native("C:\\clips") + "/bad.mpg", content);
        Setup setup(createEncoder(m->machine()));
        QString failure = failureOf([&] {
            setup.prepare("C:\\clips\\bad.mpg", "C:\\clips\\bad.wmv");
            setup.encoder->start();
        });
        if (failure.isEmpty()) {
            QVERIFY(setup.codesWhenStopped().endsWith(EncoderStopped));
            failure = setup.encoder->lastFailure();
        }
        if (reason.isEmpty())
            QVERIFY2(failure.isEmpty() || failure.startsWith("Cannot "), qPrintable(failure));
        else
            QCOMPARE(failure, "Cannot open the input C:\\clips\\bad.mpg: " + reason);
        QCOMPARE(temporariesIn(m->native("C:\\clips")), QStringList());
    }

    // The profiles are the engine's built-ins, then the folder's ".prx" files in file-name order,
    // letter case aside, named by their content; files that are no profile are skipped. One that
    // starves the second pass makes libavcodec give up on it: the file is then made in one pass,
    // and the notice says why.
    void folderProfilesAndTwoPassAbort()
    {
        auto m = machine();
        const QString profiles = m->native(EncoderFolder + "\\Profiles") + "/";
        writeFile(profiles + "aardvark.prx",
                  contentOf(profiles + "Kestrel Medium.prx")
                          .replace("Name=Kestrel Medium", "Name=Starved")
                          .replace("VideoBitRate=300000", "VideoBitRate=10000"));
        writeFile(profiles + "broken.prx", "[Clipferry Profile]\nVersion=1\nName=Broken\n");
        writeFile(profiles + "notes.txt", "not a profile");
        Setup setup(createEncoder(m->machine()), "Starved");
        ProfileCollection &collection = setup.encoder->profileCollection();
        QStringList names;
        for (int i = 0; i < collection.count(); ++i)
            names << collection.item(i).name();
        QCOMPARE(names.mid(3),
                 QStringList({"Starved", "Kestrel High", "Kestrel Low", "Kestrel Medium"}));

        setup.prepare("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv", 1);
        setup.encoder->start();
        QCOMPARE(setup.codesWhenStopped(),
                 QList<int>({EncoderStarting, EncoderRunning, EncoderStopped}));
        QCOMPARE(setup.encoder->lastFailure(), QString());
        QCOMPARE(setup.encoder->lastNotice(),
                 "converted in one pass: two-pass encoding cannot reach the profile's video bit "
                 "rate of 10000 bits per second for this file");
        QVERIFY(inspectMedia(m->native("C:\\clips\\clip.wmv")).decodedFrames > 0);

        // The next file starts without a notice of its own.
        setup.states.clear();
        setup.prepare("C:\\clips\\clip.mpg", "C:\\clips\\clip.wmv", 0);
        setup.encoder->start();
        QVERIFY(setup.codesWhenStopped().endsWith(EncoderStopped));
        QCOMPARE(setup.encoder->lastNotice(), QString());
    }

    // An output folder nobody may write to fails at the start, and the earlier output stays.
    void readOnlyOutputFolderIsAnError()
    {
        auto m = machine();
        const QString folder = m->makeFolder("C:\\locked");
        writeFile(folder + "/clip.wmv", "an earlier result");
        const ReadOnlyFolder locked(folder);
        if (!locked.locked())
            QSKIP("this file system cannot make a folder read-only here");

        Setup setup(createEncoder(m->machine()));
        setup.prepare("C:\\clips\\clip.mpg", "C:\\locked\\clip.wmv");
        const QString failure = failureOf([&] { setup.encoder->start(); });
        QVERIFY2(failure.startsWith("Cannot write the output C:\\locked\\clip.wmv: "),
                 qPrintable(failure));
        QCOMPARE(contentOf(folder + "/clip.wmv"), "an earlier result");
    }
};

QTEST_GUILESS_MAIN(TestEncoderHost)
#include "test_encoder_host.moc"
