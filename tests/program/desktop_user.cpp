#include "desktop_user.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <optional>

namespace desktop {

namespace {

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// X and its tools count the screen's own pixels; Qt counts pixels of the scale factor.
QPoint devicePixels(const QWidget &window, QPoint point)
{
    return (QPointF(point) * window.devicePixelRatioF()).toPoint();
}

QStringList xdotoolPoint(QPoint point)
{
    return {QString::number(point.x()), QString::number(point.y())};
}

// The frame the window manager drew around the window, in the screen's pixels, read from
// the window's _NET_FRAME_EXTENTS as the window manager announced it (the toolkit's own
// idea of the frame comes late under some window managers). Null while there is none.
std::optional<QMargins> frameExtents(QWidget &window)
{
    QString output;
    if (runTool(QStringLiteral("xprop"),
                {"-id", QString::number(window.winId()), "_NET_FRAME_EXTENTS"},
                &output)
        != 0)
        return std::nullopt;
    const QRegularExpression numbers(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"));
    const QRegularExpressionMatch match = numbers.match(output);
    if (!match.hasMatch())
        return std::nullopt;
    return QMargins(match.captured(1).toInt(),
                    match.captured(3).toInt(),
                    match.captured(2).toInt(),
                    match.captured(4).toInt());
}

// The window and its frame on the screen, in the screen's pixels, as the X server has them
// (the toolkit's positions are rounded to its scaled pixels).
QRect frameOnScreen(QWidget &window)
{
    QString output;
    runTool(QStringLiteral("xwininfo"), {"-id", QString::number(window.winId())}, &output);
    const auto value = [&output](const char *field) {
        const QRegularExpression line(QLatin1String(field) + QStringLiteral(":\\s*(-?\\d+)"));
        return line.match(output).captured(1).toInt();
    };
    const QRect client(value("Absolute upper-left X"),
                       value("Absolute upper-left Y"),
                       value("Width"),
                       value("Height"));
    return client.marginsAdded(frameExtents(window).value_or(QMargins()));
}

} // namespace

QString name()
{
    return qEnvironmentVariable("CLIPFERRY_DESKTOP", QStringLiteral("bare"));
}

bool managed()
{
    return onX11() && name() != QLatin1String("bare");
}

int runTool(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (!finished.wait(60000))
        process.kill();
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return finished.isEmpty() || process.exitStatus() != QProcess::NormalExit ? -1
                                                                              : process.exitCode();
}

bool waitForFrame(QWidget &window)
{
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    const QDeadlineTimer deadline(5000);
    while (managed() && !frameExtents(window)) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

void resizeByCorner(QWidget &window, QPoint by)
{
    if (!managed()) {
        window.resize(window.size() + QSize(by.x(), by.y()));
        return;
    }
    // The corner's last pixels lie on the frame's resize handle.
    const QPoint corner = frameOnScreen(window).bottomRight() - QPoint(1, 1);
    const QPoint target = corner + devicePixels(window, by);
    runTool(QStringLiteral("xdotool"),
            QStringList{"mousemove"} + xdotoolPoint(corner) + QStringList{"mousedown", "1"}
                    + QStringList{"mousemove"} + xdotoolPoint((corner + target) / 2)
                    + QStringList{"sleep", "0.2", "mousemove"} + xdotoolPoint(target)
                    + QStringList{"sleep", "0.2", "mouseup", "1"});
    QTest::qWait(300); // the window manager's last configure reaches the window
}

// The whole screen of a weston session, as its screenshooter takes it, or nothing.
void saveWestonScreen(const QString &path)
{
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setWorkingDirectory(folder.path());
    QSignalSpy finished(&shooter, &QProcess::finished);
    shooter.start(QStringLiteral("weston-screenshooter"), QStringList());
    const QStringList taken
            = finished.wait(20000) ? QDir(folder.path()).entryList(QDir::Files) : QStringList();
    if (!taken.isEmpty())
        QFile::rename(folder.filePath(taken.first()), path);
}

void saveScreenshot(QWidget &window, const QString &fileName)
{
    const QString folder = qEnvironmentVariable("CLIPFERRY_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window.repaint();
    QTest::qWait(100); // the X server's picture lags behind the widgets until painted
    QPixmap shot = window.grab();
    if (onX11()) {
        const QRect frame = frameOnScreen(window);
        const qreal ratio = window.devicePixelRatioF();
        shot = window.screen()->grabWindow(0,
                                           qRound(frame.x() / ratio),
                                           qRound(frame.y() / ratio),
                                           qRound(frame.width() / ratio),
                                           qRound(frame.height() / ratio));
    } else if (name() == QLatin1String("weston")) {
        // A compositor shows no program another's windows: the window's own picture, and the
        // screen as weston shows it.
        saveWestonScreen(folder + QStringLiteral("/screen-") + fileName);
    }
    if (!shot.save(folder + QLatin1Char('/') + fileName))
        qWarning("cannot save %s in %s", qPrintable(fileName), qPrintable(folder));
}

void saveText(const QString &fileName, const QString &text)
{
    const QString folder = qEnvironmentVariable("CLIPFERRY_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
        qWarning("cannot write %s in %s", qPrintable(fileName), qPrintable(folder));
}

} // namespace desktop
