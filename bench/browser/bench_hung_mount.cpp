// How the window fares while the folder browser works beside a mount that does not answer,
// against the same work beside a plain folder, in one run. The real folder browser on a
// machine of temporary folders: drive D: holds Shares\Hung, Shares\Plain\Deeper and
// Shares\Empty, where Hung is a FUSE file system whose every call waits until S seconds
// after the mount (a network share whose server is gone), or a plain empty folder. Steps,
// as a user takes them:
//   1. double-click "Data (D:)": the mount lies one level below the drive's child Shares;
//   2. expand Shares: the mount is one of its children;
//   3. click the mount's node.
// A 10 ms timer on the window thread stands for the window's painting; for each step the
// run prints its wall time and the largest gap between the timer's events.
//
//   bench_hung_mount [--seconds S]      (default 8; needs /dev/fuse and python3-fuse)

#include "hung_mount.h"
#include "tick_gaps.h"
#include "window_fixture.h"

#include "browser/dir_tree.h"
#include "browser/form9.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct Step
{
    double seconds = 0;
    double largestGap = 0;
};

struct Run
{
    Step steps[3];
    QString shares; // Shares' children after the steps, "+" marking those with children
};

Step timed(const std::function<void()> &action)
{
    TickGaps gaps(10);
    action();
    gaps.stop();
    return {gaps.seconds(), gaps.largestSeconds()};
}

void userClick(QTreeWidget *view, QTreeWidgetItem *node, bool twice)
{
    view->scrollToItem(node);
    const QPoint at = view->visualItemRect(node).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

QTreeWidgetItem *child(QTreeWidgetItem *node, const QString &text)
{
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == text)
            return node->child(i);
    }
    return nullptr;
}

// The three steps on a fresh machine; hangSeconds 0: Hung is a plain folder.
std::optional<Run> run(int hangSeconds)
{
    WindowFixture window;
    window.install(true, false);
    window.open();
    const QDir drive(window.machine.addDrive(QLatin1Char('D'), DriveKind::Fixed, "DATA"));
    for (const char *folder : {"Shares/Hung", "Shares/Plain/Deeper", "Shares/Empty"})
        drive.mkpath(QLatin1String(folder));
    std::unique_ptr<HungMount> mount;
    if (hangSeconds > 0) {
        mount = std::make_unique<HungMount>(QDir(drive.filePath("Shares/Hung")).canonicalPath(),
                                            hangSeconds);
        if (!mount->unavailable().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(mount->unavailable()));
            return std::nullopt;
        }
    }
    Form9 &browser = window.form->folders().folderBrowser();
    browser.show();
    if (!QTest::qWaitForWindowExposed(&browser))
        std::fprintf(stderr, "the folder browser was not shown\n");
    QTreeWidget *view = browser.DirTree1->treeView();
    QTreeWidgetItem *d = browser.DirTree1->nodeByKey(QStringLiteral("root68"));

    Run result;
    result.steps[0] = timed([&] { userClick(view, d, true); });
    QTreeWidgetItem *shares = child(d, QStringLiteral("Shares"));
    result.steps[1] = timed([&] { view->expandItem(shares); });
    result.steps[2] = timed([&] { userClick(view, child(shares, QStringLiteral("Hung")), false); });
    for (int i = 0; i < shares->childCount(); ++i)
        result.shares
                += shares->child(i)->text(0) + (shares->child(i)->childCount() > 0 ? "+ " : " ");
    browser.hide();
    return result;
}

int secondsOption(QStringList args)
{
    while (!args.isEmpty()) {
        if (args.takeFirst() == QLatin1String("--seconds") && !args.isEmpty())
            return args.takeFirst().toInt();
    }
    return 8;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int hangSeconds = secondsOption(app.arguments().mid(1));

    const std::optional<Run> plain = run(0);
    const std::optional<Run> hung = run(hangSeconds);
    if (!plain || !hung)
        return 1;
    const char *steps[] = {"double-click Data (D:), mount two levels down",
                           "expand Shares, the mount one of its children",
                           "click the mount's node"};
    std::printf("mount answers %d s after mounting; \"gap\": largest gap between window "
                "thread events\n",
                hangSeconds);
    std::printf("%-48s %20s %20s\n", "", "beside a hung mount", "beside a plain folder");
    std::printf("%-48s %9s %10s %9s %10s\n", "step", "time", "gap", "time", "gap");
    for (int i = 0; i < 3; ++i)
        std::printf("%-48s %7.3f s %8.3f s %7.3f s %8.3f s\n",
                    steps[i],
                    hung->steps[i].seconds,
                    hung->steps[i].largestGap,
                    plain->steps[i].seconds,
                    plain->steps[i].largestGap);
    std::printf("Shares' children (+: expand mark): hung %s| plain %s\n",
                qPrintable(hung->shares),
                qPrintable(plain->shares));
    return 0;
}
