// The ".prx" profile format, the shipped Kestrel profiles, and the worker's protocol lines.

#include "common/error.h"
#include "platform/worker_protocol.h"
#include "profiles/prx_format.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Medium = QStringLiteral("[Clipferry Profile]\n"
                                      "Version=1\n"
                                      "Name=Kestrel Medium\n"
                                      "VideoSize=320x240\n"
                                      "FrameRate=30\n"
                                      "VideoBitRate=300000\n"
                                      "KeyFrameSeconds=5\n"
                                      "AudioBitRate=48000\n"
                                      "SampleRate=44100\n"
                                      "Channels=2\n");

QString programFolder()
{
    return qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", QStringLiteral(CF_BUILD_DRIVE_C))
           + QStringLiteral("/Program Files/Clipferry/");
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesTheSameProfile();
    void refusesMalformedProfiles_data();
    void refusesMalformedProfiles();
    void shipsTheThreeKestrelProfiles_data();
    void shipsTheThreeKestrelProfiles();
    void readsWorkerLines_data();
    void readsWorkerLines();
};

void TestProfiles::readsAndWritesTheSameProfile()
{
    const ProfileSettings read
            = parseProfile(QStringLiteral("; a comment\r\n") + Medium, QStringLiteral("m.prx"));
    QCOMPARE(read.name, QStringLiteral("Kestrel Medium"));
    QCOMPARE(read.width, 320);
    QCOMPARE(read.videoBitRate, 300000);
    QCOMPARE(read.channels, 2);

    ProfileSettings odd = read;
    odd.name = QStringLiteral("Odd one");
    odd.description = QStringLiteral("frame rate 29.97, key frames every 2.5 s");
    odd.maxFrameRate = 29.97;
    odd.keyFrameSeconds = 2.5;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("odd.prx"));
    writeProfileFile(file, odd);
    const ProfileSettings back = readProfileFile(file);
    QCOMPARE(back.name, odd.name);
    QCOMPARE(back.description, odd.description);
    QCOMPARE(back.maxFrameRate, 29.97);
    QCOMPARE(back.keyFrameSeconds, 2.5);
    QCOMPARE(profileText(back), profileText(odd));
}

void TestProfiles::refusesMalformedProfiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QString() << QStringLiteral("the file is empty");
    QTest::newRow("another format")
            << QStringLiteral("<profile/>")
            << QStringLiteral("this is not a Clipferry profile (it does not begin with "
                              "[Clipferry Profile])");
    QString text = Medium;
    QTest::newRow("missing value") << text.replace(QStringLiteral("Channels=2\n"), QString())
                                   << QStringLiteral("the value Channels is missing");
    text = Medium;
    QTest::newRow("no equals sign") << text + QStringLiteral("Loudness\n")
                                    << QStringLiteral("line 11 is not of the form Key=Value");
    text = Medium;
    QTest::newRow("newer version")
            << text.replace(QStringLiteral("Version=1"), QStringLiteral("Version=2"))
            << QStringLiteral("the profile is of version 2; this program reads version 1");
    text = Medium;
    QTest::newRow("size")
            << text.replace(QStringLiteral("320x240"), QStringLiteral("320 by 240"))
            << QStringLiteral(
                       "VideoSize must be width x height, such as 320x240, not \"320 by 240\"");
    text = Medium;
    QTest::newRow("odd size") << text.replace(QStringLiteral("320x240"), QStringLiteral("321x240"))
                              << QStringLiteral("the video width must be an even number");
    text = Medium;
    QTest::newRow("not a number") << text.replace(QStringLiteral("=300000"),
                                                  QStringLiteral("=fast"))
                                  << QStringLiteral(
                                             "VideoBitRate must be a whole number, not \"fast\"");
    text = Medium;
    QTest::newRow("audio too thin for WMA2")
            << text.replace(QStringLiteral("=48000"), QStringLiteral("=20000"))
            << QStringLiteral("the audio bit rate must be at least 24000");
    text = Medium;
    QTest::newRow("three channels")
            << text.replace(QStringLiteral("Channels=2"), QStringLiteral("Channels=3"))
            << QStringLiteral("there must be 1 or 2 audio channels");
}

void TestProfiles::refusesMalformedProfiles()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    try {
        parseProfile(text, QStringLiteral("C:\\p.prx"));
        QFAIL("the profile was read");
    } catch (const Error &e) {
        QCOMPARE(e.description(), QStringLiteral("C:\\p.prx: ") + reason);
    }
}

void TestProfiles::shipsTheThreeKestrelProfiles_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("frameRate");
    QTest::addColumn<int>("video");
    QTest::addColumn<int>("audio");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("channels");
    QTest::newRow("High") << "High" << QSize(320, 240) << 30.0 << 480000 << 64000 << 44100 << 2;
    QTest::newRow("Medium") << "Medium" << QSize(320, 240) << 30.0 << 300000 << 48000 << 44100 << 2;
    QTest::newRow("Low") << "Low" << QSize(240, 180) << 15.0 << 150000 << 32000 << 22050 << 1;
}

void TestProfiles::shipsTheThreeKestrelProfiles()
{
    QFETCH(QString, level);
    QFETCH(QSize, size);
    QFETCH(double, frameRate);
    QFETCH(int, video);
    QFETCH(int, audio);
    QFETCH(int, sampleRate);
    QFETCH(int, channels);
    const ProfileSettings p
            = readProfileFile(programFolder() + QStringLiteral("Kestrel %1.prx").arg(level));
    QCOMPARE(p.name, QStringLiteral("Kestrel ") + level);
    QCOMPARE(QSize(p.width, p.height), size);
    QCOMPARE(p.maxFrameRate, frameRate);
    QCOMPARE(p.videoBitRate, video);
    QCOMPARE(p.audioBitRate, audio);
    QCOMPARE(p.sampleRate, sampleRate);
    QCOMPARE(p.channels, channels);
}

void TestProfiles::readsWorkerLines_data()
{
    using worker_protocol::Line;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("ready") << QByteArray("ready 1 Lavc59.37.100\n") << int(Line::Ready)
                           << "1 Lavc59.37.100";
    QTest::newRow("failure with blanks") << QByteArray("failed 1 No such file or directory")
                                         << int(Line::Failed) << "No such file or directory";
    QTest::newRow("done") << QByteArray("done") << int(Line::Done) << QString();
    QTest::newRow("short stats") << QByteArray("stats 1 2") << int(Line::Other) << QString();
    QTest::newRow("noise") << QByteArray("[mpeg @ 0x1] something") << int(Line::Other) << QString();
}

void TestProfiles::readsWorkerLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, kind);
    QFETCH(QString, reason);
    const worker_protocol::Line line = worker_protocol::parse(text);
    QCOMPARE(int(line.kind), kind);
    QCOMPARE(line.reason, reason);
    const worker_protocol::Line stats = worker_protocol::parse("stats 2 180113 2972 463227 90\n");
    QCOMPARE(stats.statistics.pass, 2);
    QCOMPARE(stats.statistics.archiveBytes, 180113);
    QCOMPARE(stats.statistics.archiveMs, 2972);
    QCOMPARE(stats.statistics.bitRate, 463227);
    QCOMPARE(stats.statistics.frames, 90);
}

QTEST_GUILESS_MAIN(TestProfiles)
#include "test_profiles.moc"
