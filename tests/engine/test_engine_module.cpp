// The engine in-process on generated clips: what it writes, how it reads Video CD files and
// odd timestamps, two-pass rate control, and how pictures fit the profile's frame. (Failures,
// stops and crashes: through the worker, in test_encoder_host.)

#include "clip_generator.h"
#include "engine/engine.h"
#include "engine/video_convert.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using engine::OutputSettings;

Q_DECLARE_METATYPE(ClipOptions)
Q_DECLARE_METATYPE(OutputSettings)
Q_DECLARE_METATYPE(AVRational)

namespace {

const OutputSettings Medium{320, 240, 30.0, 300000, 5.0, 48000, 44100, 2};
const OutputSettings Low{240, 180, 15.0, 150000, 5.0, 32000, 22050, 1};

// Progress, pass by pass: pass one of two only analyses, so it reports nothing written.
struct PassWatch : engine::EncodeObserver
{
    bool wroteInPass1 = false;
    int firstPass = 0;
    int lastPass = 0;
    void progress(const engine::Progress &p) override
    {
        wroteInPass1 |= p.pass == 1 && (p.bytes > 0 || p.mediaMs > 0);
        firstPass = firstPass ? firstPass : p.pass;
        lastPass = p.pass;
    }
    bool stopRequested() override { return false; }
};

PassWatch
encode(const QString &input, const QString &output, const OutputSettings &settings, int passes = 1)
{
    PassWatch watch;
    const std::string target = output.toStdString();
    engine::encode({input.toStdString(), target + ".tmp", target, settings, passes}, watch);
    QTest::qVerify(!QFile::exists(output + ".tmp"), "no temporary left", "", __FILE__, __LINE__);
    return watch;
}

} // namespace

class TestEngineModule : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { av_log_set_level(AV_LOG_ERROR); }

    void encodesToProfile_data()
    {
        QTest::addColumn<ClipOptions>("options");
        QTest::addColumn<OutputSettings>("settings");
        QTest::addColumn<int>("frames"); // decoded from the output, give or take 2
        QTest::newRow("NTSC program stream, Medium") << ClipOptions{} << Medium << 90;
        // 25 frames/s come out at Low's 15.
        QTest::newRow("PAL program stream, Low") << ClipOptions{.pal = true} << Low << 45;
        // About 8 seconds of nothing before the stream.
        QTest::newRow("Video CD .dat with a long empty lead-in")
                << ClipOptions{.vcdDat = true, .leadInSectors = 600} << Medium << 90;
        QTest::newRow("timestamps restart part-way")
                << ClipOptions{.seconds = 4, .parts = 2} << Medium << 120;
        QTest::newRow("no sound: video only") << ClipOptions{.audio = false} << Medium << 90;
        QTest::newRow("no pictures: audio only") << ClipOptions{.video = false} << Low << 0;
    }

    // The duration is read before encoding; the output is ASF with WMV2 and WMA2 at the profile's
    // size, frame rate and sound, as long as the input within 2%.
    void encodesToProfile()
    {
        QFETCH(ClipOptions, options);
        QFETCH(OutputSettings, settings);
        const QString input = path(QString::fromLatin1(QTest::currentDataTag())
                                   + (options.vcdDat ? ".dat" : ".mpg"));
        makeClip(input, options);
        const qint64 lengthMs = qRound64(options.seconds * 1000);
        // The size-based estimate that mends restarted timestamps is coarser than timestamps.
        const qint64 probed = engine::probeDurationMs(input.toStdString());
        QVERIFY2(std::abs(probed - lengthMs) <= lengthMs / (options.parts > 1 ? 10 : 50),
                 qPrintable(QString::number(probed)));

        const QString output = path("out.wmv");
        encode(input, output, settings);
        const MediaFacts facts = inspectMedia(output);
        QCOMPARE(facts.format, "asf");
        QCOMPARE(facts.videoCodec, options.video ? "wmv2" : "");
        QCOMPARE(facts.audioCodec, options.audio ? "wmav2" : "");
        if (options.video) {
            QCOMPARE(QSize(facts.width, facts.height), QSize(settings.width, settings.height));
            QFETCH(int, frames);
            QVERIFY2(std::abs(facts.decodedFrames - frames) <= 2,
                     qPrintable(QString::number(facts.decodedFrames)));
        }
        if (options.audio) {
            QCOMPARE(facts.sampleRate, settings.sampleRate);
            QCOMPARE(facts.channels, settings.channels);
        }
        // Within 2%, give or take the last frame's own length (which counts on a short clip).
        // (FFmpeg itself reads a stream that restarts its timestamps as shorter than it is.)
        const qint64 inputMs = options.parts > 1 ? lengthMs : inspectMedia(input).durationMs;
        const qint64 frameMs = options.video ? std::lround(1000 / facts.frameRate) : 100;
        QVERIFY2(std::abs(facts.durationMs - inputMs) <= inputMs / 50 + frameMs,
                 qPrintable(QStringLiteral("%1 ms from %2 ms").arg(facts.durationMs).arg(inputMs)));
    }

    // Two passes land nearer the bit rate than one; the first writes nothing.
    void twoPassesLandNearerTheTarget()
    {
        const QString input = path("rate.mpg");
        makeClip(input, {.seconds = 6, .audio = false});
        OutputSettings settings = Medium;
        settings.videoBitRate = 200000;
        encode(input, path("one.wmv"), settings);
        const PassWatch two = encode(input, path("two.wmv"), settings, 2);
        QVERIFY(!two.wroteInPass1 && two.firstPass == 1 && two.lastPass == 2);
        const double onePass = inspectMedia(path("one.wmv")).videoBitRate();
        const double twoPass = inspectMedia(path("two.wmv")).videoBitRate();
        qInfo("target 200000, one pass %.0f, two passes %.0f", onePass, twoPass);
        QVERIFY(std::abs(twoPass - 200000) < std::abs(onePass - 200000));
    }

    void picturesKeepTheirShape_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<AVRational>("sampleAspect");
        QTest::addColumn<QRect>("expected"); // within 320 x 240
        const auto row = [](const char *tag, int w, int h, AVRational aspect, QRect expected) {
            QTest::newRow(tag) << QSize(w, h) << aspect << expected;
        };
        row("NTSC Video CD fills 4:3", 352, 240, {10, 11}, {0, 0, 320, 240});
        row("PAL Video CD fills 4:3", 352, 288, {59, 54}, {0, 0, 320, 240});
        row("16:9: bars above and below", 1280, 720, {1, 1}, {0, 30, 320, 180});
        row("aspect unknown: square pixels", 352, 240, {0, 1}, {0, 10, 320, 218});
        row("portrait: bars at the sides", 480, 640, {1, 1}, {70, 0, 180, 240});
    }

    void picturesKeepTheirShape()
    {
        QFETCH(QSize, source);
        QFETCH(AVRational, sampleAspect);
        QFETCH(QRect, expected);
        const engine::PictureRect r
                = engine::fitPicture(source.width(), source.height(), sampleAspect, 320, 240);
        QCOMPARE(QRect(r.x, r.y, r.width, r.height), expected);
    }
};

QTEST_GUILESS_MAIN(TestEngineModule)
#include "test_engine_module.moc"
