#pragma once

// What the tests of the encoder over the real worker share: a machine of temporary folders
// whose encoder folder holds this build's worker and module, and the window's own set-up of
// the encoder.

#include "../platform/checks.h"
#include "platform/encoder.h"
#include "temp_machine.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

inline const QString EncoderFolder = "C:\\Program Files\\Windows Media Components\\Encoder";

// The build's C: drive, which holds the engine, the worker and the program's profiles.
inline QString builtDriveC()
{
    return qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", CF_BUILD_DRIVE_C);
}

// The encoder folder holds the build's worker and module (as links, unless left out) and
// the program's three profiles; the clips (native files) are linked into C:\clips.
inline std::unique_ptr<TempMachine>
engineMachine(const QStringList &clips = {}, bool module = true, bool worker = true)
{
    auto m = std::make_unique<TempMachine>();
    const QString folder = m->native(EncoderFolder) + "/";
    const QString engine = builtDriveC() + "/Program Files/Windows Media Components/Encoder/";
    if (module)
        QFile::link(engine + "WMEncEng.dll", folder + "WMEncEng.dll");
    if (worker)
        QFile::link(engine + "WMEncWorker", folder + "WMEncWorker");
    for (const QString level : {"High", "Medium", "Low"}) {
        const QString name = "Kestrel " + level + ".prx";
        QFile::copy(builtDriveC() + "/Program Files/Clipferry/" + name,
                    folder + "Profiles/" + name);
    }
    const QString clipFolder = m->makeFolder("C:\\clips");
    for (const QString &clip : clips)
        QFile::link(clip, clipFolder + "/" + QFileInfo(clip).fileName());
    return m;
}

// The window's own set-up: one group "SG_1" with a video and an audio source, and the
// encoder's state changes as they arrive.
struct Setup
{
    std::unique_ptr<MediaEncoder> encoder;
    QSignalSpy states{encoder.get(), &MediaEncoder::stateChanged};
    EncoderSourceGroup &group = encoder->sourceGroupCollection().add("SG_1");
    EncoderSource &video = group.addSource(SourceVideo);
    EncoderSource &audio = group.addSource(SourceAudio);

    explicit Setup(std::unique_ptr<MediaEncoder> made, const QString &profile = "Kestrel Medium")
        : encoder(std::move(made))
    {
        ProfileCollection &profiles = encoder->profileCollection();
        for (int i = 0; i < profiles.count(); ++i) {
            if (profiles.item(i).name() == profile)
                group.setProfile(profiles.item(i));
        }
    }
    // SetupJob's order: inputs, passes, output, the set-up switch.
    void prepare(const QString &input, const QString &output, qint16 passes = 0)
    {
        video.setInput(input);
        audio.setInput(input);
        audio.setPreprocessPass(passes);
        encoder->file().setLocalFileName(output);
        encoder->prepareToEncode(true);
    }
    // The state codes so far, once "stopped" has come (or a minute has passed).
    QList<int> codesWhenStopped()
    {
        QList<int> seen;
        static_cast<void>(QTest::qWaitFor(
                [&] {
                    seen.clear();
                    for (const QList<QVariant> &args : std::as_const(states))
                        seen << args.at(0).toInt();
                    return seen.endsWith(EncoderStopped);
                },
                60000));
        return seen;
    }
};

// Our temporaries in a folder (".clipferry-XXXXXXXX.part").
inline QStringList temporariesIn(const QString &nativeFolder)
{
    return entriesOf(nativeFolder).filter(QRegularExpression("^\\.clipferry-"));
}
