// cf-encode [--profile NAME] [--passes 1|2] [--verbose] [--unconfined] INPUT OUTPUT
//
// Encodes one file through the same encoder object model, host and worker process the
// program uses, with native paths (turned into the program's drive form on the way in).
// Prints the statistics once a second and, last, frames=N wall_s=X fps=Y realtime=Z, after
// a line "notice: ..." when the file was made otherwise than asked (in one pass instead of
// two, or with damaged parts skipped over). Exit status 0 on success, 1 with the failure's
// description on stderr. --verbose has the worker say on stderr how it confined itself;
// --unconfined leaves it unconfined, a measuring aid for the encode benchmark.

#include "common/error.h"
#include "encoder/encoder.h"
#include "encoder/encoder_host.h"
#include "platform/machine.h"
#include "platform/volumes.h"
#include "platform/win_paths.h"
#include "profiles/prx_format.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

struct Options
{
    QString profile = QStringLiteral("Kestrel Medium");
    int passes = 1;
    QString input;
    QString output;
};

Options parse(QStringList args)
{
    Options options;
    QStringList paths;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--profile") && !args.isEmpty())
            options.profile = args.takeFirst();
        else if (arg == QLatin1String("--passes") && !args.isEmpty())
            options.passes = args.takeFirst().toInt();
        else if (arg == QLatin1String("--verbose"))
            qputenv("WMENC_VERBOSE", "1"); // the worker inherits it
        else if (arg == QLatin1String("--unconfined"))
            qputenv("WMENC_UNCONFINED", "1");
        else
            paths << arg;
    }
    if (paths.size() != 2 || (options.passes != 1 && options.passes != 2))
        throw Error(QStringLiteral("usage: cf-encode [--profile NAME] [--passes 1|2] [--verbose] "
                                   "[--unconfined] INPUT OUTPUT"));
    options.input = QFileInfo(paths[0]).absoluteFilePath();
    options.output = QFileInfo(paths[1]).absoluteFilePath();
    return options;
}

// The encoder's profile of that name; otherwise the program's own profile file of that name
// (the three Kestrel profiles ship beside the program and are only installed into the
// encoder's profile folder on request).
const EncoderProfile &findProfile(MediaEncoder &encoder,
                                  const QString &name,
                                  const QString &driveC,
                                  std::optional<EncoderProfile> &shipped)
{
    ProfileCollection &profiles = encoder.profileCollection();
    for (int i = 0; i < profiles.count(); ++i) {
        if (profiles.item(i).name() == name)
            return profiles.item(i);
    }
    const QString file
            = driveC + QStringLiteral("/Program Files/Clipferry/") + name + QStringLiteral(".prx");
    if (!QFileInfo::exists(file))
        throw Error(QStringLiteral("The encoder has no profile named \"%1\".").arg(name));
    shipped.emplace(readProfileFile(file));
    return *shipped;
}

void printStatistics(const EncoderStatistics &s)
{
    std::printf("pass=%d size=%lld KB duration=%.1f s bitrate=%d kbps frames=%lld\n",
                s.pass,
                static_cast<long long>(s.archiveBytes / 1000),
                s.archiveMs / 1000.0,
                s.bitRate / 1000,
                static_cast<long long>(s.frames));
    std::fflush(stdout);
}

int encode(Machine &machine, const Options &options)
{
    std::unique_ptr<MediaEncoder> encoder = createEncoder(machine);
    std::optional<EncoderProfile> shipped;
    EncoderSourceGroup &group = encoder->sourceGroupCollection().add(QStringLiteral("SG_1"));
    EncoderSource &video = group.addSource(SourceVideo);
    EncoderSource &audio = group.addSource(SourceAudio);
    group.setProfile(findProfile(*encoder, options.profile, machine.driveCRoot(), shipped));
    const QString input = toWindowsPath(machine, options.input);
    video.setInput(input, {}, {});
    audio.setInput(input, {}, {});
    audio.setPreprocessPass(static_cast<qint16>(options.passes - 1));
    encoder->file().setLocalFileName(toWindowsPath(machine, options.output));
    encoder->prepareToEncode(true);
    std::printf("input=%s duration_ms=%d profile=\"%s\" passes=%d\n",
                qPrintable(input),
                audio.duration(),
                qPrintable(options.profile),
                options.passes);

    QEventLoop loop;
    QObject::connect(encoder.get(), &MediaEncoder::stateChanged, &loop, [&](qint32 state) {
        if (state == EncoderStopped)
            loop.quit();
    });
    QTimer ticker;
    QObject::connect(
            &ticker, &QTimer::timeout, &loop, [&] { printStatistics(encoder->statistics()); });
    QElapsedTimer wall;
    wall.start();
    encoder->start();
    ticker.start(1000);
    loop.exec();
    const double seconds = wall.nsecsElapsed() / 1e9;
    if (!encoder->lastFailure().isEmpty())
        throw Error(encoder->lastFailure());
    const EncoderStatistics last = encoder->statistics();
    printStatistics(last);
    if (!encoder->lastNotice().isEmpty())
        std::printf("notice: %s\n", qPrintable(encoder->lastNotice()));
    std::printf("frames=%lld wall_s=%.3f fps=%.1f realtime=%.2f\n",
                static_cast<long long>(last.frames),
                seconds,
                last.frames / seconds,
                last.archiveMs / 1000.0 / seconds);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The build's C: drive, unless a test or an installation names another.
    const QString driveC
            = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", QStringLiteral(CF_BUILD_DRIVE_C));
    auto machine = std::make_shared<Machine>(driveC, std::make_unique<SystemVolumes>(driveC));
    Machine::setCurrent(machine);
    try {
        return encode(*machine, parse(QCoreApplication::arguments().mid(1)));
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
}
