// The encoder object model over the real worker process and engine module, on a machine of
// temporary folders whose encoder folder links to the build's engine.

#include "clip_generator.h"
#include "common/error.h"
#include "platform/encoder.h"
#include "platform/encoder_host.h"
#include "platform/worker_backend.h"
#include "temp_machine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {

const QString EncoderFolder
        = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder");

QString buildDriveC()
{
    return qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", QStringLiteral(CF_BUILD_DRIVE_C));
}

QString buildEncoderFile(const QString &name)
{
    return buildDriveC() + QStringLiteral("/Program Files/Windows Media Components/Encoder/")
           + name;
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(text), text.size());
}

QByteArray readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The window's own set-up: one group "SG_1" with a video and an audio source.
struct Setup
{
    std::unique_ptr<MediaEncoder> encoder;
    EncoderSourceGroup *group = nullptr;
    EncoderSource *video = nullptr;
    EncoderSource *audio = nullptr;

    explicit Setup(std::unique_ptr<MediaEncoder> made)
        : encoder(std::move(made))
    {
        group = &encoder->sourceGroupCollection().add(QStringLiteral("SG_1"));
        video = &group->addSource(SourceVideo);
        audio = &group->addSource(SourceAudio);
    }
    void choose(const QString &profileName)
    {
        ProfileCollection &profiles = encoder->profileCollection();
        for (int i = 0; i < profiles.count(); ++i) {
            if (profiles.item(i).name() == profileName)
                group->setProfile(profiles.item(i));
        }
    }
    // SetupJob's order: inputs, passes, output, the set-up switch.
    void prepare(const QString &input, const QString &output, qint16 passes = 0)
    {
        video->setInput(input, {}, {});
        audio->setInput(input, {}, {});
        audio->setPreprocessPass(passes);
        encoder->file().setLocalFileName(output);
        encoder->prepareToEncode(true);
    }
};

// Hidden temporaries the host leaves in a folder.
QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestEncoderHost : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_clips; // made once for all tests
    QString m_short;
    QString m_long;

    // A machine whose encoder folder holds the build's worker and module (as links) and
    // the program's three profiles.
    std::unique_ptr<TempMachine> machine(bool module = true, bool worker = true)
    {
        auto m = std::make_unique<TempMachine>();
        const QString folder = m->native(EncoderFolder);
        if (module)
            QFile::link(buildEncoderFile(QStringLiteral("WMEncEng.dll")),
                        folder + QStringLiteral("/WMEncEng.dll"));
        if (worker)
            QFile::link(buildEncoderFile(QStringLiteral("WMEncWorker")),
                        folder + QStringLiteral("/WMEncWorker"));
        for (const char *level : {"High", "Medium", "Low"}) {
            const QString name = QStringLiteral("Kestrel %1.prx").arg(QLatin1String(level));
            QFile::copy(buildDriveC() + QStringLiteral("/Program Files/Clipferry/") + name,
                        folder + QStringLiteral("/Profiles/") + name);
        }
        m->makeFolder(QStringLiteral("C:\\clips"));
        QFile::link(m_short, m->native(QStringLiteral("C:\\clips")) + QStringLiteral("/clip.mpg"));
        QFile::link(m_long, m->native(QStringLiteral("C:\\clips")) + QStringLiteral("/long.mpg"));
        return m;
    }

private slots:
    void initTestCase();
    void creationNeedsModuleAndWorker_data();
    void creationNeedsModuleAndWorker();
    void profilesAreBuiltInsThenTheFolder();
    void encodesLikeTheWindowDoes_data();
    void encodesLikeTheWindowDoes();
    void stopEndsWithAShorterPlayableFile();
    void stopWhenIdleDoesNothing();
    void workerKilledMidEncode();
    void unusableInputsAreDescribed_data();
    void unusableInputsAreDescribed();
    void twoPassThatAbortsIsRedoneInOnePass();
    void readOnlyOutputFolderIsAnError();
};

void TestEncoderHost::initTestCase()
{
    QVERIFY2(QFile::exists(buildEncoderFile(QStringLiteral("WMEncWorker"))),
             "the engine is not built");
    m_short = m_clips.filePath(QStringLiteral("clip.mpg"));
    makeClip(m_short, {});
    m_long = m_clips.filePath(QStringLiteral("long.mpg"));
    ClipOptions longer;
    longer.seconds = 60;
    makeClip(m_long, longer);
}

void TestEncoderHost::creationNeedsModuleAndWorker_data()
{
    QTest::addColumn<QString>("module"); // "link" to the build's, "none", or the file's content
    QTest::addColumn<QString>("worker");
    QTest::addColumn<QString>("reason");
    const QString link = QStringLiteral("link");
    const QString none = QStringLiteral("none");
    QTest::newRow("no module") << none << link
                               << EncoderFolder + QStringLiteral("\\WMEncEng.dll is missing.");
    QTest::newRow("no worker") << link << none
                               << EncoderFolder + QStringLiteral("\\WMEncWorker is missing.");
    QTest::newRow("module is not a library") << QStringLiteral("MZ not really") << link
                                             << EncoderFolder + QStringLiteral("\\WMEncEng.dll: ");
    QTest::newRow("worker is not a program")
            << link << QStringLiteral("echo hello")
            << EncoderFolder + QStringLiteral("\\WMEncWorker does not start");
}

void TestEncoderHost::creationNeedsModuleAndWorker()
{
    QFETCH(QString, module);
    QFETCH(QString, worker);
    QFETCH(QString, reason);
    auto m = machine(module == QLatin1String("link"), worker == QLatin1String("link"));
    const QString folder = m->native(EncoderFolder);
    if (module != QLatin1String("link") && module != QLatin1String("none"))
        writeText(folder + QStringLiteral("/WMEncEng.dll"), module.toUtf8());
    if (worker != QLatin1String("link") && worker != QLatin1String("none"))
        writeText(folder + QStringLiteral("/WMEncWorker"), worker.toUtf8());
    try {
        createEncoder(m->machine());
        QFAIL("the encoder was created");
    } catch (const Error &e) {
        const QString prefix = QStringLiteral("The encoder engine could not be loaded: ") + reason;
        QVERIFY2(e.description().startsWith(prefix), qPrintable(e.description()));
    }
}

void TestEncoderHost::profilesAreBuiltInsThenTheFolder()
{
    auto m = machine();
    const QString profiles = m->native(EncoderFolder + QStringLiteral("\\Profiles"));
    QByteArray own = readText(profiles + QStringLiteral("/Kestrel Low.prx"));
    writeText(profiles + QStringLiteral("/aardvark.prx"),
              own.replace("Name=Kestrel Low", "Name=Aardvark"));
    writeText(profiles + QStringLiteral("/broken.prx"),
              "[Clipferry Profile]\nVersion=1\nName=Broken\n");
    writeText(profiles + QStringLiteral("/notes.txt"), "not a profile");

    Setup setup(createEncoder(m->machine()));
    ProfileCollection &collection = setup.encoder->profileCollection();
    QStringList names;
    for (int i = 0; i < collection.count(); ++i)
        names << collection.item(i).name();
    QCOMPARE(names.mid(3),
             QStringList({QStringLiteral("Aardvark"),
                          QStringLiteral("Kestrel High"),
                          QStringLiteral("Kestrel Low"),
                          QStringLiteral("Kestrel Medium")}));
    QCOMPARE(names.size(), 7);
}

void TestEncoderHost::encodesLikeTheWindowDoes_data()
{
    QTest::addColumn<qint16>("passes");
    QTest::newRow("one pass") << qint16(0);
    QTest::newRow("two passes") << qint16(1);
}

void TestEncoderHost::encodesLikeTheWindowDoes()
{
    QFETCH(qint16, passes);
    auto m = machine();
    Setup setup(createEncoder(m->machine()));
    setup.choose(QStringLiteral("Kestrel Medium"));
    m->makeFolder(QStringLiteral("C:\\out"));
    setup.prepare(
            QStringLiteral("C:\\clips\\clip.mpg"), QStringLiteral("C:\\out\\clip.wmv"), passes);
    QVERIFY2(std::abs(setup.audio->duration() - 3000) <= 60,
             qPrintable(QString::number(setup.audio->duration())));

    QSignalSpy states(setup.encoder.get(), &MediaEncoder::stateChanged);
    QList<EncoderStatistics> seen;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, this, [&] { seen.append(setup.encoder->statistics()); });
    sampler.start(5);
    setup.encoder->start();
    QVERIFY(states.isEmpty()); // states come queued, never from inside start()
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(0).toInt() == EncoderStopped,
                             60000);
    sampler.stop();

    QList<int> codes;
    for (const QList<QVariant> &args : std::as_const(states))
        codes << args.at(0).toInt();
    QCOMPARE(codes, QList<int>({EncoderStarting, EncoderRunning, EncoderStopped}));
    QCOMPARE(setup.encoder->lastFailure(), QString());
    for (qsizetype i = 1; i < seen.size(); ++i) {
        QVERIFY(seen[i].archiveBytes >= seen[i - 1].archiveBytes);
        QVERIFY(seen[i].archiveMs >= seen[i - 1].archiveMs);
    }
    const EncoderStatistics last = setup.encoder->statistics();
    const QString output = m->native(QStringLiteral("C:\\out\\clip.wmv"));
    const MediaFacts facts = inspectMedia(output);
    QCOMPARE(facts.videoCodec, QStringLiteral("wmv2"));
    QCOMPARE(last.archiveBytes, facts.bytes);
    QVERIFY(last.archiveMs >= 2900);
    QVERIFY(last.bitRate > 0);
    QCOMPARE(leftovers(m->native(QStringLiteral("C:\\out"))), QStringList());
}

void TestEncoderHost::stopEndsWithAShorterPlayableFile()
{
    auto m = machine();
    Setup setup(createEncoder(m->machine()));
    setup.choose(QStringLiteral("Kestrel Medium"));
    setup.prepare(QStringLiteral("C:\\clips\\long.mpg"), QStringLiteral("C:\\clips\\long.wmv"));
    QSignalSpy states(setup.encoder.get(), &MediaEncoder::stateChanged);
    setup.encoder->start();
    QTRY_VERIFY_WITH_TIMEOUT(setup.encoder->statistics().archiveMs > 0, 30000);
    setup.encoder->stop();
    setup.encoder->stop(); // a second stop changes nothing
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(0).toInt() == EncoderStopped,
                             30000);
    QVERIFY(states.contains(QList<QVariant>{EncoderStopping}));
    QCOMPARE(setup.encoder->lastFailure(), QString());

    const MediaFacts facts = inspectMedia(m->native(QStringLiteral("C:\\clips\\long.wmv")));
    QVERIFY(facts.decodedFrames > 0);
    QVERIFY2(facts.durationMs < 55000, qPrintable(QString::number(facts.durationMs)));
    QCOMPARE(leftovers(m->native(QStringLiteral("C:\\clips"))), QStringList());
}

void TestEncoderHost::stopWhenIdleDoesNothing()
{
    auto m = machine();
    Setup setup(createEncoder(m->machine()));
    QSignalSpy states(setup.encoder.get(), &MediaEncoder::stateChanged);
    setup.encoder->stop();
    setup.choose(QStringLiteral("Kestrel Low"));
    setup.prepare(QStringLiteral("C:\\clips\\clip.mpg"), QStringLiteral("C:\\clips\\clip.wmv"));
    setup.encoder->stop();
    QTest::qWait(50);
    QVERIFY(states.isEmpty());
}

void TestEncoderHost::workerKilledMidEncode()
{
    auto m = machine();
    const QString folder = m->native(EncoderFolder);
    auto backend = std::make_unique<WorkerBackend>(folder, EncoderFolder);
    WorkerBackend *worker = backend.get();
    Setup setup(std::make_unique<MediaEncoder>(std::move(backend)));
    setup.choose(QStringLiteral("Kestrel Medium"));
    const QString earlier = m->native(QStringLiteral("C:\\clips")) + QStringLiteral("/long.wmv");
    writeText(earlier, "an earlier result");
    setup.prepare(QStringLiteral("C:\\clips\\long.mpg"), QStringLiteral("C:\\clips\\long.wmv"));
    QSignalSpy states(setup.encoder.get(), &MediaEncoder::stateChanged);
    setup.encoder->start();
    QTRY_VERIFY_WITH_TIMEOUT(
            worker->workerProcessId() > 0 && setup.encoder->statistics().frames > 0, 30000);
    QCOMPARE(::kill(static_cast<pid_t>(worker->workerProcessId()), SIGKILL), 0);

    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(0).toInt() == EncoderStopped,
                             60000);
    QCOMPARE(setup.encoder->lastFailure(),
             QStringLiteral(
                     "The encoder stopped unexpectedly while converting C:\\clips\\long.mpg"));
    QCOMPARE(readText(earlier), QByteArray("an earlier result"));
    QCOMPARE(leftovers(m->native(QStringLiteral("C:\\clips"))), QStringList());
}

void TestEncoderHost::unusableInputsAreDescribed_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("description");
    const QString input = QStringLiteral("Cannot open the input C:\\clips\\bad.mpg: ");
    QTest::newRow("missing") << QByteArray() << input + QStringLiteral("No such file or directory");
    QTest::newRow("zero length") << QByteArray("") << input + QStringLiteral("the file is empty");
    QTest::newRow("not video")
            << QByteArray("shopping list\n").repeated(100)
            << input + QStringLiteral("it is not a video or audio file that the encoder can read");
    QTest::newRow("corrupt")
            << QByteArray("\x00\x00\x01\xba garbage ", 13).repeated(4000)
            << input + QStringLiteral("it is not a video or audio file that the encoder can read");
    QTest::newRow("truncated") << QByteArray("truncate") << QString();
}

void TestEncoderHost::unusableInputsAreDescribed()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, description);
    auto m = machine();
    const QString input = m->native(QStringLiteral("C:\\clips")) + QStringLiteral("/bad.mpg");
    if (content == "truncate")
        writeText(input, readText(m_short).left(4000));
    else if (!content.isNull())
        writeText(input, content);
    Setup setup(createEncoder(m->machine()));
    setup.choose(QStringLiteral("Kestrel Medium"));
    QSignalSpy states(setup.encoder.get(), &MediaEncoder::stateChanged);
    QString failure;
    try {
        setup.prepare(QStringLiteral("C:\\clips\\bad.mpg"), QStringLiteral("C:\\clips\\bad.wmv"));
        setup.encoder->start();
        QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(0).toInt() == EncoderStopped,
                                 30000);
        failure = setup.encoder->lastFailure();
    } catch (const Error &e) {
        failure = e.description();
    }
    if (description.isEmpty()) // a cut-off file: what is there may be converted
        QVERIFY2(failure.isEmpty() || failure.startsWith(QStringLiteral("Cannot ")),
                 qPrintable(failure));
    else
        QCOMPARE(failure, description);
    QCOMPARE(leftovers(m->native(QStringLiteral("C:\\clips"))), QStringList());
}

void TestEncoderHost::twoPassThatAbortsIsRedoneInOnePass()
{
    auto m = machine();
    const QString profiles = m->native(EncoderFolder + QStringLiteral("\\Profiles"));
    QByteArray text = readText(profiles + QStringLiteral("/Kestrel Medium.prx"));
    text.replace("Name=Kestrel Medium", "Name=Starved")
            .replace("VideoBitRate=300000", "VideoBitRate=10000");
    writeText(profiles + QStringLiteral("/starved.prx"), text);
    Setup setup(createEncoder(m->machine()));
    setup.choose(QStringLiteral("Starved"));
    setup.prepare(QStringLiteral("C:\\clips\\clip.mpg"), QStringLiteral("C:\\clips\\clip.wmv"), 1);
    QSignalSpy states(setup.encoder.get(), &MediaEncoder::stateChanged);
    setup.encoder->start();
    QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(0).toInt() == EncoderStopped,
                             60000);
    QCOMPARE(setup.encoder->lastFailure(), QString());
    QCOMPARE(states.count(QList<QVariant>{EncoderRunning}), 1);
    QCOMPARE(inspectMedia(m->native(QStringLiteral("C:\\clips\\clip.wmv"))).videoCodec,
             QStringLiteral("wmv2"));
}

void TestEncoderHost::readOnlyOutputFolderIsAnError()
{
    auto m = machine();
    const QString folder = m->makeFolder(QStringLiteral("C:\\locked"));
    writeText(folder + QStringLiteral("/clip.wmv"), "an earlier result");
    // Root writes into any folder whose mode forbids it; an immutable folder stops it too.
    const bool root = ::geteuid() == 0;
    if (root)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    else
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const auto unlock = qScopeGuard([&] {
        if (root)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
        else
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly))
        QSKIP("this file system cannot make a folder read-only here");

    Setup setup(createEncoder(m->machine()));
    setup.choose(QStringLiteral("Kestrel Medium"));
    setup.prepare(QStringLiteral("C:\\clips\\clip.mpg"), QStringLiteral("C:\\locked\\clip.wmv"));
    try {
        setup.encoder->start();
        QFAIL("the encode started");
    } catch (const Error &e) {
        QVERIFY2(e.description().startsWith(
                         QStringLiteral("Cannot write the output C:\\locked\\clip.wmv: ")),
                 qPrintable(e.description()));
    }
    QCOMPARE(readText(folder + QStringLiteral("/clip.wmv")), QByteArray("an earlier result"));
}

QTEST_GUILESS_MAIN(TestEncoderHost)
#include "test_encoder_host.moc"
