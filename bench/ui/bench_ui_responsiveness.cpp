// How the window fares while a clip encodes through it, on the real engine:
//   - the processor time the window's thread uses during the batch's wait (the wait should
//     sleep: the encoder's worker needs both cores),
//   - the largest gap between two Timer1 ticks (budget 1.2 s for the one-second tick),
//   - the whole batch's wall time, against the clip's length.
//
//   bench_ui_responsiveness [--seconds S] [--one-pass]
//
// The clip (60 s by default, Video CD-like MPEG-1 + MP2) is generated first; the batch then
// runs as a user starts it: the entry clicked in File1, the encode button clicked.

#include "clip_generator.h"
#include "common/error.h"
#include "tick_gaps.h"
#include "window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

constexpr double tickBudgetSeconds = 1.2;

struct Options
{
    double seconds = 60;
    bool onePass = false;
};

Options parse(QStringList args)
{
    Options options;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--seconds") && !args.isEmpty())
            options.seconds = args.takeFirst().toDouble();
        else if (arg == QLatin1String("--one-pass"))
            options.onePass = true;
    }
    return options;
}

double threadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Processor time of the finished worker processes, which the encoder has waited for.
double childrenCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What the window's thread did between the encoder's start and its stopped state: the
// first state arrives from inside the batch's wait, the stopped state ends the wait.
struct WaitMeasure
{
    QElapsedTimer clock;
    qint64 startNs = -1;
    qint64 stopNs = -1;
    double startCpu = 0;
    double stopCpu = 0;
    QList<qint64> tickNs;

    void watch(Form1 &form)
    {
        clock.start();
        QObject::connect(form.jobSetup().Encoder.get(),
                         &MediaEncoder::stateChanged,
                         &form,
                         [this](qint32 s) {
                             if (s == EncoderStarting) {
                                 startNs = clock.nsecsElapsed();
                                 startCpu = threadCpuSeconds();
                             } else if (s == EncoderStopped) {
                                 stopNs = clock.nsecsElapsed();
                                 stopCpu = threadCpuSeconds();
                             }
                         });
        QObject::connect(form.Timer1, &QTimer::timeout, &form, [this] {
            tickNs.append(clock.nsecsElapsed());
        });
    }
    double waitSeconds() const { return (stopNs - startNs) / 1e9; }
    double largestGapSeconds() const { return ::largestGapSeconds(tickNs); }
};

void report(const Options &options, const WaitMeasure &wait, double batchSeconds)
{
    std::printf("clip: %.0f s, %s, profile Kestrel Medium\n",
                options.seconds,
                options.onePass ? "one pass" : "two passes");
    std::printf("%-34s %8.2f s   (%.1fx real time)\n",
                "batch wall time",
                batchSeconds,
                options.seconds / batchSeconds);
    std::printf("%-34s %8.2f s\n", "wait for the stopped state", wait.waitSeconds());
    const double uiCpu = wait.stopCpu - wait.startCpu;
    std::printf("%-34s %8.3f s   (%.2f %% of the wait)\n",
                "window thread CPU during the wait",
                uiCpu,
                100.0 * uiCpu / wait.waitSeconds());
    std::printf("%-34s %8.2f s\n", "worker processes CPU", childrenCpuSeconds());
    if (wait.tickNs.isEmpty()) {
        std::printf("Timer1: no tick (the encode took under a second)\n");
        return;
    }
    std::printf("%-34s %8.3f s   (after the encoder's start)\n",
                "first Timer1 tick",
                (wait.tickNs.first() - wait.startNs) / 1e9);
    if (wait.tickNs.size() < 2) {
        std::printf("Timer1: one tick only; use a longer clip for the gap\n");
        return;
    }
    const double gap = wait.largestGapSeconds();
    std::printf("%-34s %8.3f s   (%lld ticks; budget %.1f s, ratio %.3f)\n",
                "largest gap between Timer1 ticks",
                gap,
                static_cast<long long>(wait.tickNs.size()),
                tickBudgetSeconds,
                gap / tickBudgetSeconds);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options options = parse(app.arguments().mid(1));

    QTemporaryDir clips;
    const QString clip = clips.filePath(QStringLiteral("clip.mpg"));
    try {
        ClipOptions made;
        made.seconds = options.seconds;
        makeClip(clip, made);
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }

    WindowFixture window;
    window.openOnBuiltEngine(WindowFixture::Ticks::AsBuilt);
    window.putFiles(QStringLiteral("C:\\Clips"), {clip});
    window.chooseFolders(QStringLiteral("C:\\Clips"), QStringLiteral("C:\\Clips"));
    window.clickEntries({QStringLiteral("^clip.mpg")});
    if (options.onePass)
        WindowFixture::click(window.form->optOnePass);

    WaitMeasure wait;
    wait.watch(*window.form);
    QElapsedTimer batch;
    batch.start();
    WindowFixture::click(window.form->cmdStart);
    const double batchSeconds = batch.nsecsElapsed() / 1e9;

    if (!window.dialogs.texts().isEmpty() || wait.stopNs < 0) {
        std::fprintf(stderr,
                     "the batch did not run through: %s\n",
                     qPrintable(window.dialogs.texts().join(QLatin1Char('\n'))));
        return 1;
    }
    report(options, wait, batchSeconds);
    return 0;
}
