// How the window fares while the encoder reads an input's duration that does not come (a
// pipe nobody writes to stands for a hung network share or a stalled drive), on the real
// engine and window: SetupJob runs on the window thread as the batch runs it, a 10 ms timer
// on that thread stands for the window's painting and clicks, and after a while the stop
// button's handler ends the read. Prints the largest gap between the timer's events while
// the read waited, their count, and how long the stop took to end the wait.
//
//   bench_probe_responsiveness [--seconds S]
//
// S (default 2) is how long the read hangs before the stop.

#include "tick_gaps.h"
#include "window_fixture.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int tickMs = 10;

double secondsOption(QStringList args)
{
    while (!args.isEmpty()) {
        if (args.takeFirst() == QLatin1String("--seconds") && !args.isEmpty())
            return args.takeFirst().toDouble();
    }
    return 2.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double hangSeconds = secondsOption(app.arguments().mid(1));

    WindowFixture window;
    window.openOnBuiltEngine(WindowFixture::Ticks::AsBuilt);
    const QString clips = window.machine.makeFolder(QStringLiteral("C:\\Clips"));
    if (::mkfifo(qPrintable(clips + QStringLiteral("/pipe.mpg")), 0644) != 0) {
        std::perror("mkfifo");
        return 1;
    }
    window.chooseFolders(QStringLiteral("C:\\Clips"), QStringLiteral("C:\\Clips"));
    window.values.InputFile = QStringLiteral("pipe.mpg");
    window.values.OutputFile = QStringLiteral("pipe.wmv");

    qint64 stopNs = -1;
    TickGaps gaps(tickMs);
    QTimer::singleShot(static_cast<int>(hangSeconds * 1000), [&] {
        stopNs = gaps.nowNs();
        window.form->cmdStop_Click();
    });
    window.form->SetupJob();
    gaps.stop();

    const double waited = gaps.seconds();
    std::printf("%-40s %8.3f s\n", "duration read waited (SetupJob)", waited);
    std::printf("%-40s %8lld   (one every %d ms: %lld expected)\n",
                "window thread timer events",
                static_cast<long long>(gaps.ticks()),
                tickMs,
                static_cast<long long>(waited * 1000 / tickMs));
    std::printf("%-40s %8.3f s\n", "largest gap between events", gaps.largestSeconds());
    if (stopNs >= 0)
        std::printf("%-40s %8.3f s\n", "stop to the end of the read", waited - stopNs / 1e9);
    std::printf("message shown: %s\n", qPrintable(window.dialogs.texts().join(QLatin1Char('|'))));
    return 0;
}
