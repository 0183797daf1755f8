// How the window fares while a finished file is copied to the storage card. The copy of a
// large file ends with flushing it to the disk, which takes seconds, as a slow card does for
// any file. Measured side by side in one run:
//   - the batch as built: the encode button clicked, the (scripted, instant) encode done,
//     then the copy to the card; the window thread's largest gap between the ticks of a
//     10 ms timer while the batch runs,
//   - the same copy done the way a handler on the window thread would do it (the file-system
//     object's CopyFile called from a timer), with the same gap measured.
//
//   bench_card_copy [--megabytes N]   (512 by default; the files go to the temporary folder)

#include "tick_gaps.h"
#include "widgets/file_list_box.h"
#include "window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int tickMs = 10;

bool writeBigFile(const QString &path, qint64 megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray chunk(1 << 20, 'v');
    for (qint64 i = 0; i < megabytes; ++i) {
        if (file.write(chunk) != chunk.size())
            return false;
    }
    return true;
}

struct Run
{
    double seconds = 0;
    double largestGap = 0;
};

// The batch as built: one file, whose encode the scripted engine ends at once.
Run copyThroughTheBatch(Form1 &form, ScriptedBackend &backend)
{
    const auto finish = QObject::connect(
            form.jobSetup().Encoder.get(), &MediaEncoder::stateChanged, &form, [&](qint32 s) {
                if (s == EncoderStarting)
                    backend.finish();
            });
    form.cmdReset->click(); // the list is usable again after a batch only once reset
    form.File1->setPath("C:\\Videos");
    form.File2->setPath("C:\\Out");
    form.File1->setSelected(0, true);
    TickGaps gaps(tickMs);
    form.cmdStart->click();
    gaps.stop();
    QObject::disconnect(finish);
    return {gaps.seconds(), gaps.largestSeconds()};
}

// The same copy in a handler on the window thread.
Run copyOnTheWindowThread(Form1 &form)
{
    TickGaps gaps(tickMs);
    QEventLoop done;
    QTimer::singleShot(2 * tickMs, [&] {
        form.FileSys->CopyFile("C:\\Out\\big.wmv", "E:\\");
        QTimer::singleShot(2 * tickMs, &done, &QEventLoop::quit);
    });
    done.exec();
    gaps.stop();
    return {gaps.seconds(), gaps.largestSeconds()};
}

void report(const char *what, const Run &run)
{
    std::printf("%-34s copy and wait %5.2f s, largest gap between 10 ms ticks %6.3f s\n",
                what,
                run.seconds,
                run.largestGap);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype option = args.indexOf("--megabytes");
    const qint64 megabytes = option > 0 ? args.value(option + 1).toLongLong() : 512;

    WindowFixture window;
    window.machine.writeFile("C:\\Videos\\big.mpg");
    if (!writeBigFile(window.machine.makeFolder("C:\\Out") + "/big.wmv", megabytes)) {
        std::fprintf(
                stderr, "cannot write the %lld MB output\n", static_cast<long long>(megabytes));
        return 1;
    }
    ::sync(); // both copies start with nothing waiting to be written
    Form1 &form = window.openInstalled();
    const QString card = window.insertCard();

    std::printf("copy of a %lld MB file to the card (a folder on the temporary folder's disk);\n"
                "the disk's speed varies from copy to copy, so each way runs twice, in turn\n",
                static_cast<long long>(megabytes));
    double batchGap = 0, peerGap = 0;
    for (int round = 0; round < 2; ++round) {
        const Run batch = copyThroughTheBatch(form, *window.backend);
        if (!window.dialogs.texts().isEmpty() || !QFile::exists(card + "/big.wmv")) {
            std::fprintf(stderr,
                         "the batch did not copy: %s\n",
                         qPrintable(window.dialogs.texts().join('\n')));
            return 1;
        }
        report("batch (copy on a worker thread)", batch);
        QFile::remove(card + "/big.wmv");
        ::sync();
        const Run peer = copyOnTheWindowThread(form);
        report("copy in a window-thread handler", peer);
        QFile::remove(card + "/big.wmv");
        ::sync();
        batchGap = std::max(batchGap, batch.largestGap);
        peerGap = std::max(peerGap, peer.largestGap);
    }
    std::printf("largest gap, batch / window-thread copy: %.3f s / %.3f s = %.3f\n",
                batchGap,
                peerGap,
                batchGap / peerGap);
    return 0;
}
