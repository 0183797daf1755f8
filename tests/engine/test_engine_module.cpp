// The engine in-process on generated clips: what it writes, how it reads Video CD files and
// damaged inputs, two-pass rate control, and a stop part-way.

#include "clip_generator.h"
#include "engine/engine.h"
#include "engine/engine_error.h"
#include "engine/video_convert.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <mutex>

using engine::EngineError;
using engine::FailureSubject;
using engine::OutputSettings;

Q_DECLARE_METATYPE(ClipOptions)
Q_DECLARE_METATYPE(OutputSettings)

namespace {

OutputSettings medium()
{
    return {320, 240, 30.0, 300000, 5.0, 48000, 44100, 2};
}

OutputSettings low()
{
    return {240, 180, 15.0, 150000, 5.0, 32000, 22050, 1};
}

// Records progress and asks for a stop once enough frames of the written pass are done.
class TestObserver : public engine::EncodeObserver
{
public:
    qint64 stopAfterFrames = -1;
    QList<engine::Progress> reports;
    bool steady = true; // nothing ever went back within a pass

    void progress(const engine::Progress &p) override
    {
        std::lock_guard lock(m_mutex);
        if (!reports.isEmpty() && reports.last().pass == p.pass) {
            const engine::Progress &last = reports.last();
            steady = steady && p.bytes >= last.bytes && p.mediaMs >= last.mediaMs
                     && p.frames >= last.frames;
        }
        reports.append(p);
    }
    bool stopRequested() override
    {
        std::lock_guard lock(m_mutex);
        return stopAfterFrames >= 0 && !reports.isEmpty()
               && reports.last().frames >= stopAfterFrames && reports.last().bytes > 0;
    }

private:
    std::mutex m_mutex;
};

} // namespace

class TestEngineModule : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString clip(const QString &name, const ClipOptions &options)
    {
        const QString file = path(name);
        if (!QFile::exists(file))
            makeClip(file, options);
        return file;
    }
    void encode(const QString &input,
                const QString &output,
                const OutputSettings &settings,
                int passes,
                engine::EncodeObserver &observer)
    {
        engine::EncodeRequest request{input.toStdString(),
                                      (output + QStringLiteral(".tmp")).toStdString(),
                                      output.toStdString(),
                                      settings,
                                      passes};
        engine::encode(request, observer);
    }

private slots:
    void initTestCase() { av_log_set_level(AV_LOG_ERROR); }
    void encodesToProfile_data();
    void encodesToProfile();
    void readsDurationBeforeEncoding_data();
    void readsDurationBeforeEncoding();
    void twoPassesLandNearerTheTarget();
    void stopLeavesShorterPlayableFile();
    void unreadableInputsFail_data();
    void unreadableInputsFail();
    void unwritableOutputLeavesNothing();
    void picturesKeepTheirShape_data();
    void picturesKeepTheirShape();
};

void TestEngineModule::encodesToProfile_data()
{
    QTest::addColumn<ClipOptions>("options");
    QTest::addColumn<OutputSettings>("settings");
    QTest::addColumn<bool>("video");
    QTest::addColumn<bool>("audio");

    ClipOptions ntsc;
    QTest::newRow("NTSC program stream, Medium") << ntsc << medium() << true << true;
    ClipOptions pal;
    pal.pal = true;
    QTest::newRow("PAL program stream, Low") << pal << low() << true << true;
    ClipOptions dat;
    dat.vcdDat = true;
    dat.leadInSectors = 600; // about 8 seconds of nothing before the stream
    QTest::newRow("Video CD .dat with a long empty lead-in") << dat << medium() << true << true;
    ClipOptions restart;
    restart.seconds = 4;
    restart.parts = 2;
    QTest::newRow("timestamps restart part-way") << restart << medium() << true << true;
    ClipOptions silent;
    silent.audio = false;
    QTest::newRow("no sound: video only") << silent << medium() << true << false;
    ClipOptions sound;
    sound.video = false;
    QTest::newRow("no pictures: audio only") << sound << low() << false << true;
}

void TestEngineModule::encodesToProfile()
{
    QFETCH(ClipOptions, options);
    QFETCH(OutputSettings, settings);
    QFETCH(bool, video);
    QFETCH(bool, audio);
    const QString input = clip(QString::fromLatin1(QTest::currentDataTag())
                                       + (options.vcdDat ? ".dat" : ".mpg"),
                               options);
    const QString output = path(QStringLiteral("out.wmv"));
    TestObserver observer;
    encode(input, output, settings, 1, observer);

    const MediaFacts facts = inspectMedia(output);
    QCOMPARE(facts.format, QStringLiteral("asf"));
    QVERIFY(!QFile::exists(output + QStringLiteral(".tmp")));
    QCOMPARE(!facts.videoCodec.isEmpty(), video);
    QCOMPARE(!facts.audioCodec.isEmpty(), audio);
    if (video) {
        QCOMPARE(facts.videoCodec, QStringLiteral("wmv2"));
        QCOMPARE(facts.width, settings.width);
        QCOMPARE(facts.height, settings.height);
        const double fps = std::min(settings.maxFrameRate, options.pal ? 25.0 : 29.97);
        QVERIFY2(std::abs(facts.decodedFrames - options.seconds * fps) <= 2,
                 qPrintable(QString::number(facts.decodedFrames)));
    }
    if (audio) {
        QCOMPARE(facts.audioCodec, QStringLiteral("wmav2"));
        QCOMPARE(facts.sampleRate, settings.sampleRate);
        QCOMPARE(facts.channels, settings.channels);
    }
    // Within 2%, give or take the last frame's own length (which counts on a short clip).
    // (FFmpeg itself reads a stream that restarts its timestamps as shorter than it is.)
    const qint64 inputMs
            = options.parts > 1 ? qRound64(options.seconds * 1000) : inspectMedia(input).durationMs;
    const qint64 frameMs = video ? std::lround(1000 / facts.frameRate) : 100;
    QVERIFY2(std::abs(facts.durationMs - inputMs) <= inputMs / 50 + frameMs,
             qPrintable(QStringLiteral("%1 ms from %2 ms").arg(facts.durationMs).arg(inputMs)));
    QVERIFY(observer.steady);
    QCOMPARE(observer.reports.last().bytes, facts.bytes);
}

void TestEngineModule::readsDurationBeforeEncoding_data()
{
    QTest::addColumn<ClipOptions>("options");
    ClipOptions plain;
    QTest::newRow("program stream") << plain;
    ClipOptions dat;
    dat.vcdDat = true;
    dat.leadInSectors = 600;
    QTest::newRow("Video CD .dat with a long empty lead-in") << dat;
    ClipOptions restart;
    restart.seconds = 4;
    restart.parts = 2;
    QTest::newRow("timestamps restart part-way") << restart;
}

void TestEngineModule::readsDurationBeforeEncoding()
{
    QFETCH(ClipOptions, options);
    const QString input = clip(
            QStringLiteral("probe-") + QString::fromLatin1(QTest::currentDataTag()), options);
    const qint64 ms = engine::probeDurationMs(input.toStdString());
    // The size-based estimate that mends restarted timestamps is coarser than timestamps.
    const double tolerance = options.parts > 1 ? 0.1 : 0.02;
    QVERIFY2(std::abs(ms - options.seconds * 1000) <= options.seconds * 1000 * tolerance,
             qPrintable(QString::number(ms)));
}

void TestEngineModule::twoPassesLandNearerTheTarget()
{
    ClipOptions options;
    options.seconds = 6;
    options.audio = false;
    const QString input = clip(QStringLiteral("rate.mpg"), options);
    OutputSettings settings = medium();
    settings.videoBitRate = 200000;
    TestObserver one;
    encode(input, path(QStringLiteral("one.wmv")), settings, 1, one);
    TestObserver two;
    encode(input, path(QStringLiteral("two.wmv")), settings, 2, two);

    const double target = settings.videoBitRate;
    const double onePass = inspectMedia(path(QStringLiteral("one.wmv"))).videoBitRate();
    const double twoPass = inspectMedia(path(QStringLiteral("two.wmv"))).videoBitRate();
    qInfo("target %.0f, one pass %.0f, two passes %.0f", target, onePass, twoPass);
    QVERIFY(std::abs(twoPass - target) < std::abs(onePass - target));
    // During the analysis pass nothing is written yet.
    QVERIFY(two.reports.first().pass == 1);
    for (const engine::Progress &p : std::as_const(two.reports)) {
        if (p.pass == 1)
            QVERIFY(p.bytes == 0 && p.mediaMs == 0);
    }
    QCOMPARE(two.reports.last().pass, 2);
}

void TestEngineModule::stopLeavesShorterPlayableFile()
{
    ClipOptions options;
    options.seconds = 6;
    const QString input = clip(QStringLiteral("long.mpg"), options);
    const QString output = path(QStringLiteral("stopped.wmv"));
    TestObserver observer;
    observer.stopAfterFrames = 30;
    encode(input, output, medium(), 1, observer);

    const MediaFacts facts = inspectMedia(output);
    QVERIFY(facts.decodedFrames >= 30);
    QVERIFY(facts.decodedFrames < 150);
    QVERIFY(facts.durationMs < 5000);
    QVERIFY(!QFile::exists(output + QStringLiteral(".tmp")));
}

void TestEngineModule::unreadableInputsFail_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("No such file or directory");
    QTest::newRow("empty") << QByteArray("") << QStringLiteral("the file is empty");
    QTest::newRow("text") << QByteArray("just some notes, no video\n").repeated(200)
                          << QStringLiteral(
                                     "it is not a video or audio file that the encoder can read");
}

void TestEngineModule::unreadableInputsFail()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString input
            = path(QStringLiteral("bad-%1.mpg").arg(QString::fromLatin1(QTest::currentDataTag())));
    if (!content.isNull()) {
        QFile file(input);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    const QString output = path(QStringLiteral("kept.wmv"));
    {
        QFile existing(output);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("an earlier result");
    }
    for (int passes : {1, 2}) {
        TestObserver observer;
        try {
            encode(input, output, medium(), passes, observer);
            QFAIL("the encode went through");
        } catch (const EngineError &e) {
            QCOMPARE(e.subject(), FailureSubject::OpenInput);
            QCOMPARE(QString::fromStdString(e.what()), reason);
        }
    }
    try {
        engine::probeDurationMs(input.toStdString());
        QFAIL("the duration was read");
    } catch (const EngineError &e) {
        QCOMPARE(QString::fromStdString(e.what()), reason);
    }
    QFile kept(output);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("an earlier result"));
    QVERIFY(!QFile::exists(output + QStringLiteral(".tmp")));
}

void TestEngineModule::unwritableOutputLeavesNothing()
{
    const QString input = clip(QStringLiteral("plain.mpg"), {});
    TestObserver observer;
    try {
        encode(input, path(QStringLiteral("no-such-folder/out.wmv")), medium(), 1, observer);
        QFAIL("the encode went through");
    } catch (const EngineError &e) {
        QCOMPARE(e.subject(), FailureSubject::WriteOutput);
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("No such file or directory"));
    }
}

void TestEngineModule::picturesKeepTheirShape_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("sarNum");
    QTest::addColumn<int>("sarDen");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("NTSC Video CD fills 4:3") << 352 << 240 << 10 << 11 << QRect(0, 0, 320, 240);
    QTest::newRow("PAL Video CD fills 4:3") << 352 << 288 << 59 << 54 << QRect(0, 0, 320, 240);
    QTest::newRow("16:9 gets bars above and below")
            << 1280 << 720 << 1 << 1 << QRect(0, 30, 320, 180);
    QTest::newRow("square 352x240, aspect unknown")
            << 352 << 240 << 0 << 1 << QRect(0, 10, 320, 218);
    QTest::newRow("portrait gets bars at the sides")
            << 480 << 640 << 1 << 1 << QRect(70, 0, 180, 240);
}

void TestEngineModule::picturesKeepTheirShape()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, sarNum);
    QFETCH(int, sarDen);
    QFETCH(QRect, expected);
    const engine::PictureRect r
            = engine::fitPicture(width, height, AVRational{sarNum, sarDen}, 320, 240);
    QCOMPARE(QRect(r.x, r.y, r.width, r.height), expected);
}

QTEST_GUILESS_MAIN(TestEngineModule)
#include "test_engine_module.moc"
