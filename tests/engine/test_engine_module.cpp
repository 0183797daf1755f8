// The engine in-process on generated clips: what it writes, how it reads Video CD files, DVD
// program streams, odd and damaged timestamps, two-pass rate control, and how pictures fit
// the profile's frame; the worker's own lines for a stop in the analysis pass and for a
// damaged file. (Failures, stops and crashes through the host: test_encoder_host.)

#include "built_engine.h"
#include "checks.h"
#include "clip_generator.h"
#include "engine/engine.h"
#include "engine/engine_error.h"
#include "engine/video_convert.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

using engine::FailureSubject;
using engine::OutputSettings;

Q_DECLARE_METATYPE(ClipOptions)
Q_DECLARE_METATYPE(OutputSettings)
Q_DECLARE_METATYPE(AVRational)
Q_DECLARE_METATYPE(FailureSubject)

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
        wroteInPass1 |= p.pass == 1 && (p.archiveBytes > 0 || p.archiveMs > 0);
        firstPass = firstPass ? firstPass : p.pass;
        lastPass = p.pass;
    }
    bool stopRequested() override { return false; }
    void notice(const std::string &text) override { notices += QString::fromStdString(text); }
    QString notices;
};

// Stops once pass one of two has analysed that many frames (never when negative).
struct StopInAnalysis : engine::EncodeObserver
{
    explicit StopInAnalysis(qint64 limit)
        : frames(limit)
    {}
    void progress(const engine::Progress &p) override
    {
        if (frames >= 0 && p.pass == 1 && p.frames >= frames)
            stop = true;
    }
    bool stopRequested() override { return stop; }
    const qint64 frames;
    std::atomic<bool> stop = false;
};

// Puts every tenth picture 2^32 ticks (13 hours) ahead, as one flipped bit of an MPEG-2
// packet header's presentation time does.
QByteArray picturesAhead(QByteArray bytes)
{
    const QByteArray videoPacket("\x00\x00\x01\xe0", 4);
    int pictures = 0;
    for (qsizetype at = bytes.indexOf(videoPacket); at >= 0 && at + 9 < bytes.size();
         at = bytes.indexOf(videoPacket, at + 4)) {
        const bool mpeg2WithTime = (bytes[at + 6] & 0xc0) == 0x80 && (bytes[at + 7] & 0x80);
        if (mpeg2WithTime && ++pictures % 10 == 5)
            bytes[at + 9] = static_cast<char>(bytes[at + 9] ^ 0x08);
    }
    return bytes;
}

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
        QTest::addColumn<int>("passes");
        QTest::newRow("NTSC program stream, Medium") << ClipOptions{} << Medium << 90 << 1;
        // 25 frames/s come out at Low's 15.
        QTest::newRow("PAL program stream, Low") << ClipOptions{.pal = true} << Low << 45 << 1;
        // About 8 seconds of nothing before the stream.
        QTest::newRow("Video CD .dat with a long empty lead-in")
                << ClipOptions{.vcdDat = true, .leadInSectors = 600} << Medium << 90 << 1;
        QTest::newRow("timestamps restart part-way")
                << ClipOptions{.seconds = 4, .parts = 2} << Medium << 120 << 1;
        // The video header states no bit rate; the sound's alone would make it ten times longer.
        QTest::newRow("DVD-style MPEG-2, two passes")
                << ClipOptions{.dvd = true} << Medium << 90 << 2;
        QTest::newRow("no sound: video only") << ClipOptions{.audio = false} << Medium << 90 << 1;
        QTest::newRow("no sound, two passes") << ClipOptions{.audio = false} << Medium << 90 << 2;
        QTest::newRow("no pictures: audio only") << ClipOptions{.video = false} << Low << 0 << 1;
        QTest::newRow("no pictures, two passes") << ClipOptions{.video = false} << Low << 0 << 2;
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
        // The stretch around a restart is measured by its size, more coarsely than timestamps.
        const qint64 probed = engine::probeDurationMs(input.toStdString());
        QVERIFY2(std::abs(probed - lengthMs) <= lengthMs / (options.parts > 1 ? 20 : 50),
                 qPrintable(QString::number(probed)));

        const QString output = path("out.wmv");
        QFETCH(int, passes);
        QCOMPARE(encode(input, output, settings, passes).notices, QString());
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

    void twoPassesMakeNothingWhenTheyCannotEnd_data()
    {
        QTest::addColumn<int>("videoBitRate");
        QTest::addColumn<qint64>("stopAfter"); // analysed frames; -1: no stop
        QTest::addColumn<FailureSubject>("subject");
        QTest::newRow("stopped during the analysis")
                << 300000 << qint64(10) << FailureSubject::StoppedBeforeOutput;
        // Were the final pass opened, libavcodec would free memory twice refusing it.
        QTest::newRow("bit rate out of reach")
                << 10000 << qint64(-1) << FailureSubject::TwoPassTarget;
    }

    // Nothing is written: an earlier file of the output's name stays as it was.
    void twoPassesMakeNothingWhenTheyCannotEnd()
    {
        QFETCH(int, videoBitRate);
        QFETCH(qint64, stopAfter);
        const QString input = path("six.mpg");
        makeClip(input, {.seconds = 6});
        const QString output = path("earlier.wmv");
        writeFile(output, "an earlier, good result");
        OutputSettings settings = Medium;
        settings.videoBitRate = videoBitRate;
        StopInAnalysis watch(stopAfter);
        const std::string target = output.toStdString();
        try {
            engine::encode({input.toStdString(), target + ".tmp", target, settings, 2}, watch);
            QFAIL("the file was converted");
        } catch (const engine::EngineError &e) {
            QTEST(e.subject(), "subject");
        }
        QCOMPARE(contentOf(output), "an earlier, good result");
        QVERIFY(!QFile::exists(output + ".tmp"));
    }

    void damagedInputsEnd_data()
    {
        QTest::addColumn<ClipOptions>("options");
        QTest::addColumn<int>("flips"); // bits flipped at random; 0: pictures put 13 hours ahead
        QTest::addColumn<int>("passes");
        const ClipOptions dvd{.seconds = 4, .dvd = true};
        QTest::newRow("MPEG-2, pictures 13 hours ahead") << dvd << 0 << 1;
        QTest::newRow("MPEG-2, 2000 bits flipped, two passes") << dvd << 2000 << 2;
        QTest::newRow("MPEG-1, 1000 bits flipped") << ClipOptions{.seconds = 4} << 1000 << 1;
        QTest::newRow("Video CD .dat, 1000 bits flipped")
                << ClipOptions{.seconds = 4, .vcdDat = true} << 1000 << 1;
    }

    // Whatever its timestamps say, a damaged file makes no more media than it holds (a margin
    // aside), and the user hears that parts were skipped.
    void damagedInputsEnd()
    {
        QFETCH(ClipOptions, options);
        QFETCH(int, flips);
        QFETCH(int, passes);
        const QString clean = path("clean.mpg");
        makeClip(clean, options);
        const QString input = path("damaged.mpg");
        writeFile(input,
                  flips ? damageBytes(contentOf(clean), 1, flips)
                        : picturesAhead(contentOf(clean)));
        const QString output = path("damaged.wmv");
        av_log_set_level(AV_LOG_FATAL); // the decoders' words on each damaged picture
        QVERIFY(encode(input, output, Medium, passes)
                        .notices.startsWith("damaged parts of it were skipped over"));
        const qint64 ms = inspectMedia(output).durationMs;
        QVERIFY2(ms > 0 && ms <= 4000 + 2500, qPrintable(QString::number(ms)));
        av_log_set_level(AV_LOG_ERROR);
    }

    void workerSaysWhatWasMade_data()
    {
        QTest::addColumn<ClipOptions>("options");
        QTest::addColumn<int>("passes");
        QTest::addColumn<QStringList>("lines"); // the last ones, statistics aside
        QTest::newRow("stopped in the analysis pass")
                << ClipOptions{.seconds = 20} << 2
                << QStringList{"failed 6 it was stopped during the analysis pass, before "
                               "anything was written"};
        QTest::newRow("damaged") << ClipOptions{.seconds = 4, .dvd = true} << 1
                                 << QStringList{"notice damaged parts of it were skipped over",
                                                "done"};
    }

    // The worker stops at its first statistics of an analysis pass, and converts a damaged file.
    void workerSaysWhatWasMade()
    {
        QFETCH(ClipOptions, options);
        QFETCH(int, passes);
        const QString input = path("worker.mpg");
        makeClip(input, options);
        if (options.dvd)
            writeFile(input, picturesAhead(contentOf(input)));
        const QString output = path("worker.wmv");
        QProcess worker;
        QStringList lines;
        connect(&worker, &QProcess::readyReadStandardOutput, this, [&] {
            while (worker.canReadLine()) {
                lines << QString::fromUtf8(worker.readLine()).trimmed();
                if (lines.last().startsWith("stats 1 ") && passes == 2)
                    worker.write("stop\n");
            }
        });
        worker.start(builtWorker(), workerEncodeArguments(input, output, passes));
        QVERIFY(worker.waitForFinished(60000));
        QTEST(lines.filter(QRegularExpression("^(?!stats )")), "lines");
        QCOMPARE(QFile::exists(output), passes == 1);
        QVERIFY(!QFile::exists(output + ".part"));
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
