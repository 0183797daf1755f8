// The ".prx" profile format and the shipped Kestrel profiles. (Writing, fractions and
// descriptions: through the profile editor, which saves and reads back; the rules for values:
// through its fields.)

#include "checks.h"
#include "engine/engine.h"
#include "engine/engine_error.h"
#include "profiles/profile_rules.h"
#include "profiles/prx_format.h"

#include <QtTest>

namespace {

const QString Medium = "[Clipferry Profile]\nVersion=1\nName=Kestrel Medium\nVideoSize=320x240\n"
                       "FrameRate=30\nVideoBitRate=300000\nKeyFrameSeconds=5\nAudioBitRate=48000\n"
                       "SampleRate=44100\nChannels=2\n";

} // namespace

class TestProfiles : public QObject
{
    Q_OBJECT

private slots:
    void readsProfiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // empty: read as Kestrel Medium
        const auto row = [](const char *tag, const QString &text, const char *reason) {
            QTest::newRow(tag) << text << QString(reason);
        };
        const auto changed = [](const char *from, const char *to) {
            return QString(Medium).replace(from, to);
        };
        row("comments and CR LF", "; a comment\r\n" + changed("\n", "\r\n"), "");
        row("empty", "", "the file is empty");
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
    }

    void readsProfiles()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        ProfileSettings read;
        const QString failure = failureOf([&] { read = parseProfile(text, "C:\\p.prx"); });
        QCOMPARE(failure, reason.isEmpty() ? reason : "C:\\p.prx: " + reason);
        const ProfileSettings medium{
                "Kestrel Medium", {}, 320, 240, 30, 300000, 5, 48000, 44100, 2};
        QVERIFY2(!reason.isEmpty() || read == medium, qPrintable(profileText(read)));
    }

    // The three profiles the program ships, as built.
    void shipsTheThreeKestrelProfiles()
    {
        const QString folder = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", CF_BUILD_DRIVE_C)
                               + "/Program Files/Clipferry/Kestrel ";
        const auto check = [&](const QString &level, ProfileSettings want) {
            const ProfileSettings read = readProfileFile(folder + level + ".prx");
            want.name = "Kestrel " + level;
            want.description = read.description;
            QVERIFY2(read == want, qPrintable(profileText(read)));
        };
        check("High", {{}, {}, 320, 240, 30, 480000, 5, 64000, 44100, 2});
        check("Medium", {{}, {}, 320, 240, 30, 300000, 5, 48000, 44100, 2});
        check("Low", {{}, {}, 240, 180, 15, 150000, 5, 32000, 22050, 1});
    }

    // A profile the rules let through is one the engine encodes with, and the other way round.
    void engineAndRulesAgree_data()
    {
        QTest::addColumn<ProfileSettings>("profile");
        QTest::addColumn<bool>("usable");
        const auto row = [](const char *tag, auto change, bool usable) {
            ProfileSettings profile{"Kestrel Medium", {}, 320, 240, 30, 300000, 5, 48000, 44100, 2};
            change(profile);
            QTest::newRow(tag) << profile << usable;
        };
        row(
                "largest frame", [](ProfileSettings &p) { p.width = 1920, p.height = 1088; }, true);
        row(
                "too wide", [](ProfileSettings &p) { p.width = 1922; }, false);
        row(
                "odd height", [](ProfileSettings &p) { p.height = 239; }, false);
        row(
                "highest video rate", [](ProfileSettings &p) { p.videoBitRate = 20000000; }, true);
        row(
                "video rate too high",
                [](ProfileSettings &p) { p.videoBitRate = 20000001; },
                false);
        row(
                "lowest audio rate", [](ProfileSettings &p) { p.audioBitRate = 24000; }, true);
        row(
                "audio rate too high", [](ProfileSettings &p) { p.audioBitRate = 320001; }, false);
        row(
                "standard sample rate", [](ProfileSettings &p) { p.sampleRate = 22050; }, true);
        row(
                "other sample rate", [](ProfileSettings &p) { p.sampleRate = 12000; }, false);
        row(
                "three channels", [](ProfileSettings &p) { p.channels = 3; }, false);
        row(
                "key frames too far", [](ProfileSettings &p) { p.keyFrameSeconds = 61; }, false);
    }

    void engineAndRulesAgree()
    {
        QFETCH(ProfileSettings, profile);
        QFETCH(bool, usable);
        QCOMPARE(profileProblems(profile).isEmpty(), usable);
        const engine::OutputSettings settings{profile.width,
                                              profile.height,
                                              profile.maxFrameRate,
                                              profile.videoBitRate,
                                              profile.keyFrameSeconds,
                                              profile.audioBitRate,
                                              profile.sampleRate,
                                              profile.channels};
        bool accepted = true;
        try {
            engine::checkSettings(settings);
        } catch (const engine::EngineError &) {
            accepted = false;
        }
        QCOMPARE(accepted, usable);
    }
};

QTEST_GUILESS_MAIN(TestProfiles)
#include "test_profiles.moc"
