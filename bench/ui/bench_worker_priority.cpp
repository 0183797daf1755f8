// How much processor time a program in the foreground keeps while Clipferry encodes:
//   - a busy loop on a thread of its own counts its iterations alone for 3 s, then while
//     cf-encode converts a generated clip through the real host and worker, two ways in each
//     round (the share is the loop's speed beside the encode against its speed just before):
//   - "worker lower": the loop at normal priority, the worker at the lower priority it gives
//     itself (nice +10 over its host),
//   - "same priority": the loop lowered by 10 as well, which gives the loop and the worker the
//     shares they had when the worker ran at normal priority;
//   - and how long the encode takes either way.
//
//   bench_worker_priority [--seconds S] [--rounds N]
//
// The clip (300 s by default, Video CD-like MPEG-1 + MP2) is generated first; the rounds
// alternate the order of the two encodes, and the medians are printed last.

#include "clip_generator.h"
#include "common/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

struct Options
{
    double seconds = 300;
    int rounds = 3;
};

Options parse(QStringList args)
{
    Options options;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--seconds") && !args.isEmpty())
            options.seconds = args.takeFirst().toDouble();
        else if (arg == QLatin1String("--rounds") && !args.isEmpty())
            options.rounds = std::max(1, args.takeFirst().toInt());
    }
    return options;
}

// Iterations per second of a busy loop at the given niceness (of its own thread only) while
// `meanwhile` runs on the calling thread.
double busyRate(int niceness, const std::function<void()> &meanwhile)
{
    std::atomic<bool> stop{false};
    quint64 iterations = 0;
    std::thread loop([&] {
        ::setpriority(PRIO_PROCESS, ::gettid(), niceness);
        quint64 state = 88172645463325252ULL;
        quint64 count = 0;
        while (!stop.load(std::memory_order_relaxed)) {
            for (int i = 0; i < 4096; ++i) {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
            }
            count += 4096;
        }
        iterations = count + (state & 1); // keeps the work from being optimised away
    });
    QElapsedTimer clock;
    clock.start();
    meanwhile();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    stop = true;
    loop.join();
    return double(iterations) / seconds;
}

// The niceness of cf-encode's worker, read while it runs; -100 when it was not seen.
int workerNiceness(qint64 hostPid)
{
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // pid (comm) state ppid ... nice is the 19th field, the 17th after the name
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (text.contains("(WMEncWorker)") && fields.value(1).toLongLong() == hostPid)
            return fields.value(16).toInt();
    }
    return -100;
}

struct Encode
{
    double share = 0; // the loop's speed beside the encode, against its speed just before
    double wallSeconds = 0;
    int workerNice = -100;
};

// The loop alone for a few seconds, then beside an encode: the share is measured against the
// machine as it is at that moment, whatever else runs on it.
Encode encodeBesideLoop(const QString &clip, const QString &output, int loopNiceness)
{
    const double alone = busyRate(loopNiceness, [] { QThread::msleep(3000); });
    Encode result;
    const double beside = busyRate(loopNiceness, [&] {
        QProcess encode;
        QElapsedTimer clock;
        clock.start();
        encode.start(QStringLiteral(CF_ENCODE), {clip, output});
        if (!encode.waitForStarted())
            throw Error(QStringLiteral("cf-encode did not start"));
        while (result.workerNice == -100 && !encode.waitForFinished(200))
            result.workerNice = workerNiceness(encode.processId());
        encode.waitForFinished(-1);
        result.wallSeconds = double(clock.nsecsElapsed()) / 1e9;
        if (encode.exitCode() != 0)
            throw Error(QString::fromLocal8Bit(encode.readAllStandardError()));
    });
    result.share = beside / alone;
    return result;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const Options options = parse(app.arguments().mid(1));
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("clip.mpg"));
    const QString output = folder.filePath(QStringLiteral("clip.wmv"));
    try {
        std::printf("generating a %.0f s clip...\n", options.seconds);
        makeClip(clip, {.seconds = options.seconds});
        QList<double> lower, same, lowerWall, sameWall;
        for (int round = 1; round <= options.rounds; ++round) {
            const bool lowerFirst = round % 2 == 1;
            const Encode first = encodeBesideLoop(clip, output, lowerFirst ? 0 : 10);
            const Encode second = encodeBesideLoop(clip, output, lowerFirst ? 10 : 0);
            const Encode &withLower = lowerFirst ? first : second;
            const Encode &withSame = lowerFirst ? second : first;
            lower.append(withLower.share);
            same.append(withSame.share);
            lowerWall.append(withLower.wallSeconds);
            sameWall.append(withSame.wallSeconds);
            std::printf("round %d: worker lower (nice %+d): loop %.0f %%, encode %.2f s; "
                        "same priority: loop %.0f %%, encode %.2f s\n",
                        round,
                        withLower.workerNice,
                        100 * withLower.share,
                        withLower.wallSeconds,
                        100 * withSame.share,
                        withSame.wallSeconds);
        }
        std::printf("median: the foreground loop keeps %.0f %% of its speed alone with the worker "
                    "lower, %.0f %% at the same priority (%.2fx); the encode takes %.2f s "
                    "against %.2f s (%.2fx)\n",
                    100 * median(lower),
                    100 * median(same),
                    median(lower) / median(same),
                    median(lowerWall),
                    median(sameWall),
                    median(lowerWall) / median(sameWall));
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
