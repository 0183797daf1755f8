#pragma once

// The encoder over this build's real worker on a machine of temporary folders, set up as the
// window sets it up.

#include "built_engine.h"
#include "checks.h"
#include "encoder/encoder.h"
#include "encoder/worker_backend.h"
#include "temp_machine.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

inline const QString EncoderFolder = "C:\\Program Files\\Windows Media Components\\Encoder";

// A machine with the build's engine installed and the clips (native files) linked into C:\clips.
inline std::unique_ptr<TempMachine> engineMachine(const QStringList &clips)
{
    auto m = std::make_unique<TempMachine>();
    const QString folder = m->makeFolder("C:\\clips") + "/";
    if (!installBuiltEngine(m->nativeC()))
        qFatal("cannot install the built engine");
    for (const QString &clip : clips)
        QFile::link(clip, folder + QFileInfo(clip).fileName());
    return m;
}

// The window's set-up: group "SG_1" with a video and an audio source, states recorded.
struct Setup
{
    WorkerBackend *worker; // for its process id
    std::unique_ptr<MediaEncoder> encoder;
    QSignalSpy states{encoder.get(), &MediaEncoder::stateChanged};
    EncoderSourceGroup &group = encoder->sourceGroupCollection().add("SG_1");
    EncoderSource &video = group.addSource(SourceVideo);
    EncoderSource &audio = group.addSource(SourceAudio);

    explicit Setup(TempMachine &m, const QString &profile = "Kestrel Medium")
        : worker(new WorkerBackend(m.native(EncoderFolder), EncoderFolder))
        , encoder(std::make_unique<MediaEncoder>(std::unique_ptr<EncoderBackend>(worker)))
    {
        ProfileCollection &profiles = encoder->profileCollection();
        for (int i = 0; i < profiles.count(); ++i) {
            if (profiles.item(i).name() == profile)
                group.setProfile(profiles.item(i));
        }
    }
    // The window's order: inputs, passes (0 one, 1 two), output, the set-up switch.
    void prepare(const QString &input, const QString &output, qint16 passes = 0)
    {
        video.setInput(input);
        audio.setInput(input);
        audio.setPreprocessPass(passes);
        encoder->file().setLocalFileName(output);
        encoder->prepareToEncode(true);
    }
    // The state codes, once "stopped" has come (or a minute has passed).
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
    // Some frames of that pass (1 or 2) encoded, by a worker.
    bool reachedPass(int pass)
    {
        return QTest::qWaitFor(
                [&] {
                    const EncoderStatistics s = encoder->statistics();
                    return worker->workerProcessId() > 0 && s.pass == pass && s.frames > 0;
                },
                60000);
    }
    // Sets up and converts a file; the failure of the set-up, of start() or of the encode
    // ("" when none). meanwhile runs while it encodes.
    QString convert(const QString &input,
                    const QString &output,
                    qint16 passes = 0,
                    const std::function<void()> &meanwhile = {})
    {
        states.clear();
        const QString thrown = failureOf([&] {
            prepare(input, output, passes);
            encoder->start();
        });
        if (!thrown.isEmpty())
            return thrown;
        if (meanwhile)
            meanwhile();
        return codesWhenStopped().endsWith(EncoderStopped) ? encoder->lastFailure() : "(no end)";
    }
};

// Our temporaries in a folder (".clipferry-XXXXXXXX.part").
inline QStringList temporariesIn(const QString &nativeFolder)
{
    return entriesOf(nativeFolder).filter(QRegularExpression("^\\.clipferry-"));
}
