// The ".prx" profile format and the shipped Kestrel profiles. (The rules a profile's values
// must keep are tested through the profile editor's fields; the worker's protocol through the
// host in test_encoder_host.)

#include "../platform/checks.h"
#include "profiles/prx_format.h"

#include <QtTest>

namespace {

const QString Medium = "[Clipferry Profile]\nVersion=1\nName=Kestrel Medium\nVideoSize=320x240\n"
                       "FrameRate=30\nVideoBitRate=300000\nKeyFrameSeconds=5\nAudioBitRate=48000\n"
                       "SampleRate=44100\nChannels=2\n";

// A profile's values in one line, for comparing whole profiles at a glance.
QString summary(const ProfileSettings &p)
{
    return QStringLiteral("%1x%2 %3/s video %4 audio %5 %6 Hz %7 ch")
            .arg(p.width)
            .arg(p.height)
            .arg(p.maxFrameRate)
            .arg(p.videoBitRate)
            .arg(p.audioBitRate)
            .arg(p.sampleRate)
            .arg(p.channels);
}

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesTheSameProfile();
    void refusesMalformedProfiles_data();
    void refusesMalformedProfiles();
    void shipsTheThreeKestrelProfiles();
};

// Comments and CR LF line ends are read; fractions and descriptions survive a round trip.
void TestProfiles::readsAndWritesTheSameProfile()
{
    const ProfileSettings read = parseProfile("; a comment\r\n" + Medium, "m.prx");
    QCOMPARE(read.name, "Kestrel Medium");
    QCOMPARE(summary(read), "320x240 30/s video 300000 audio 48000 44100 Hz 2 ch");

    ProfileSettings odd = read;
    odd.name = "Odd one";
    odd.description = "frame rate 29.97, key frames every 2.5 s";
    odd.maxFrameRate = 29.97;
    odd.keyFrameSeconds = 2.5;
    QTemporaryDir dir;
    writeProfileFile(dir.filePath("odd.prx"), odd);
    const ProfileSettings back = readProfileFile(dir.filePath("odd.prx"));
    QVERIFY2(back == odd, qPrintable(profileText(back)));
}

void TestProfiles::refusesMalformedProfiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *tag, const QString &text, const char *reason) {
        QTest::newRow(tag) << text << QString(reason);
    };
    const auto changed = [](const char *from, const char *to) {
        return QString(Medium).replace(from, to);
    };
    row("empty", "", "the file is empty");
    row("another format",
        "<profile/>",
        "this is not a Clipferry profile (it does not begin with [Clipferry Profile])");
    row("missing value", changed("Channels=2\n", ""), "the value Channels is missing");
    row("no equals sign", Medium + "Loudness\n", "line 11 is not of the form Key=Value");
    row("newer version",
        changed("Version=1", "Version=2"),
        "the profile is of version 2; this program reads version 1");
    row("size",
        changed("320x240", "320 by 240"),
        "VideoSize must be width x height, such as 320x240, not \"320 by 240\"");
    row("not a number",
        changed("=300000", "=fast"),
        "VideoBitRate must be a whole number, not \"fast\"");
    // A well-formed file is still held to the engine's rules.
    row("three channels",
        changed("Channels=2", "Channels=3"),
        "there must be 1 or 2 audio channels");
}

void TestProfiles::refusesMalformedProfiles()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QCOMPARE(failureOf([&] { parseProfile(text, "C:\\p.prx"); }), "C:\\p.prx: " + reason);
}

// The three profiles the program ships, as built.
void TestProfiles::shipsTheThreeKestrelProfiles()
{
    const QString folder = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", CF_BUILD_DRIVE_C)
                           + "/Program Files/Clipferry/Kestrel ";
    const ProfileSettings high = readProfileFile(folder + "High.prx");
    const ProfileSettings medium = readProfileFile(folder + "Medium.prx");
    const ProfileSettings low = readProfileFile(folder + "Low.prx");
    QCOMPARE(QStringList({high.name, medium.name, low.name}),
             QStringList({"Kestrel High", "Kestrel Medium", "Kestrel Low"}));
    QCOMPARE(summary(high), "320x240 30/s video 480000 audio 64000 44100 Hz 2 ch");
    QCOMPARE(summary(medium), "320x240 30/s video 300000 audio 48000 44100 Hz 2 ch");
    QCOMPARE(summary(low), "240x180 15/s video 150000 audio 32000 22050 Hz 1 ch");
}

QTEST_GUILESS_MAIN(TestProfiles)
#include "test_profiles.moc"
