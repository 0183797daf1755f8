// Damaged files through the real worker: generated MPEG-1, DVD-style MPEG-2 and Video CD
// clips with bits flipped at random places (as zzuf does; seeded, so a run can be repeated),
// each converted by WMEncWorker as the host runs it, in one or two passes, with a time
// limit. Counts how many converted, were refused with a message, crashed (the worker only),
// ran over the limit or left a file behind; the last two must be 0.
//
//   bench_fuzz_worker [--copies N] [--seconds S] [--limit S] [--seed N] [--keep DIR]
//
// --keep copies each input that ran over the limit or left a file behind into DIR.

#include "clip_generator.h"
#include "common/encoder_folder.h"
#include "common/error.h"
#include "engine/worker_protocol_words.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

namespace arg = worker_protocol::encode_argument;

struct Options
{
    int copies = 300;
    double seconds = 8;
    int limitSeconds = 60;
    quint32 seed = 1;
    QString keep;
};

struct Kind
{
    const char *name;
    ClipOptions clip;
    const char *ending;
};

enum class Outcome { Converted, Refused, Crashed, OverLimit };

struct Tally
{
    QMap<Outcome, int> outcomes;
    int remarks = 0;    // converted with a remark for the user
    int leftBehind = 0; // a temporary after the worker's own end, or an output after a refusal
    QMap<QString, int> reasons;
    double slowestSeconds = 0;
    double longestOutputSeconds = 0;
};

struct Run
{
    Outcome outcome = Outcome::Crashed;
    QString reason; // of a refusal, or how the worker ended
    bool remark = false;
    double outputSeconds = 0;
};

QStringList workerArguments(const QString &input, const QString &folder, int passes)
{
    QStringList a(arg::Count);
    a[arg::Input] = input;
    a[arg::Temporary] = folder + "/.clipferry-fuzz.part";
    a[arg::Output] = folder + "/out.wmv";
    a[arg::Passes] = QString::number(passes);
    a[arg::Width] = "320";
    a[arg::Height] = "240";
    a[arg::MaxFrameRate] = "30";
    a[arg::VideoBitRate] = "300000";
    a[arg::KeyFrameSeconds] = "5";
    a[arg::AudioBitRate] = "48000";
    a[arg::SampleRate] = "44100";
    a[arg::Channels] = "2";
    a.prepend(QString::fromLatin1(worker_protocol::EncodeCommand));
    return a;
}

QString lineStart(worker_protocol::LineKind kind)
{
    return QString::fromLatin1(worker_protocol::lineWord(kind)) + ' ';
}

// Runs the worker on one input, with stdin open as the host keeps it, and reads its lines.
Run convert(
        const QString &worker, const QString &input, const QString &folder, int passes, int limitMs)
{
    using worker_protocol::LineKind;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(worker, workerArguments(input, folder, passes));
    Run run;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        run.outcome = Outcome::OverLimit;
        return run;
    }
    bool done = false;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(lineStart(LineKind::Failed))) {
            run.outcome = Outcome::Refused;
            run.reason = line.section(' ', 1);
        } else if (line.startsWith(lineStart(LineKind::Notice))) {
            run.remark = true;
        } else if (line.startsWith(lineStart(LineKind::Stats))) {
            run.outputSeconds = line.section(' ', 3, 3).toDouble() / 1000;
        } else if (line == QLatin1String(worker_protocol::lineWord(LineKind::Done))) {
            done = true;
        }
    }
    const bool normal = process.exitStatus() == QProcess::NormalExit;
    if (normal && process.exitCode() == 0 && done) {
        run.outcome = Outcome::Converted;
    } else if (!normal || run.outcome != Outcome::Refused) {
        run.outcome = Outcome::Crashed;
        run.reason = normal ? QStringLiteral("exit code %1").arg(process.exitCode())
                            : QStringLiteral("signal %1").arg(process.exitCode());
    }
    return run;
}

Options parse(QStringList args)
{
    Options o;
    while (args.size() >= 2) {
        const QString name = args.takeFirst();
        const QString value = args.takeFirst();
        if (name == "--copies")
            o.copies = value.toInt();
        else if (name == "--seconds")
            o.seconds = value.toDouble();
        else if (name == "--limit")
            o.limitSeconds = value.toInt();
        else if (name == "--seed")
            o.seed = value.toUInt();
        else if (name == "--keep")
            o.keep = value;
    }
    return o;
}

void keep(const Options &o, const QString &input, int copy, const char *why)
{
    if (o.keep.isEmpty())
        return;
    QDir().mkpath(o.keep);
    QFile::copy(input, QStringLiteral("%1/%2-%3.mpg").arg(o.keep, why).arg(copy));
}

void print(const Options &o, const Tally &t, const QList<Kind> &kinds)
{
    std::printf("\n%d damaged copies of %g-second clips (%s, %s, %s), one or two passes, "
                "limit %d s, seed %u\n",
                o.copies,
                o.seconds,
                kinds[0].name,
                kinds[1].name,
                kinds[2].name,
                o.limitSeconds,
                o.seed);
    std::printf("converted:              %d (%d with a remark; longest output %.1f s)\n",
                t.outcomes.value(Outcome::Converted),
                t.remarks,
                t.longestOutputSeconds);
    std::printf("refused with a message: %d\n", t.outcomes.value(Outcome::Refused));
    for (auto it = t.reasons.begin(); it != t.reasons.end(); ++it)
        std::printf("    %4d  %s\n", it.value(), qPrintable(it.key()));
    std::printf("crashed (the worker):   %d\n", t.outcomes.value(Outcome::Crashed));
    std::printf("over the time limit:    %d (must be 0)\n", t.outcomes.value(Outcome::OverLimit));
    std::printf("left a file behind:     %d (must be 0)\n", t.leftBehind);
    std::printf("slowest conversion:     %.1f s\n", t.slowestSeconds);
}

int fuzz(const Options &o)
{
    const QString worker = QStringLiteral(CF_BUILD_DRIVE_C "/") + encoder_folder::Path + '/'
                           + encoder_folder::WorkerFile;
    const QList<Kind> kinds = {
            {"MPEG-1 program stream", {.seconds = o.seconds}, ".mpg"},
            {"DVD-style MPEG-2", {.seconds = o.seconds, .dvd = true}, ".mpg"},
            {"Video CD .dat", {.seconds = o.seconds, .vcdDat = true, .leadInSectors = 150}, ".dat"},
    };
    QTemporaryDir work;
    QList<QByteArray> clean;
    for (const Kind &kind : kinds) {
        const QString path = work.filePath(QStringLiteral("clean") + kind.ending);
        makeClip(path, kind.clip);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        clean << file.readAll();
    }
    std::mt19937 random(o.seed);
    std::uniform_int_distribution<int> flips(10, 5000);
    Tally tally;
    for (int copy = 0; copy < o.copies; ++copy) {
        const int kind = copy % static_cast<int>(kinds.size());
        const QString folder = work.filePath(QString::number(copy));
        QDir().mkpath(folder);
        const QString input = folder + "/damaged" + kinds[kind].ending;
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(damageBytes(clean[kind], random(), flips(random))) < 0)
            throw Error(QStringLiteral("Cannot write %1").arg(input));
        file.close();
        QElapsedTimer timer;
        timer.start();
        const Run run = convert(worker, input, folder, 1 + copy % 2, o.limitSeconds * 1000);
        tally.slowestSeconds = std::max(tally.slowestSeconds, timer.elapsed() / 1000.0);
        tally.outcomes[run.outcome]++;
        if (run.outcome == Outcome::Refused)
            tally.reasons[run.reason]++;
        if (run.outcome == Outcome::Converted) {
            tally.remarks += run.remark ? 1 : 0;
            tally.longestOutputSeconds = std::max(tally.longestOutputSeconds, run.outputSeconds);
        }
        if (run.outcome == Outcome::OverLimit)
            keep(o, input, copy, "over-limit");
        // After a crash the host removes the temporary; after any other end the worker does.
        const bool left
                = QFile::exists(folder + "/.clipferry-fuzz.part")
                  || (run.outcome == Outcome::Refused && QFile::exists(folder + "/out.wmv"));
        if (left && run.outcome != Outcome::Crashed && run.outcome != Outcome::OverLimit) {
            tally.leftBehind++;
            keep(o, input, copy, "left-behind");
        }
        if (run.outcome == Outcome::Crashed)
            std::printf("copy %d (%s): the worker crashed: %s\n",
                        copy,
                        kinds[kind].name,
                        qPrintable(run.reason));
        QDir(folder).removeRecursively();
        if ((copy + 1) % 30 == 0) {
            std::printf("%d of %d ...\n", copy + 1, o.copies);
            std::fflush(stdout);
        }
    }
    print(o, tally, kinds);
    return tally.outcomes.value(Outcome::OverLimit) + tally.leftBehind == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        return fuzz(parse(app.arguments().mid(1)));
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 2;
    }
}
