#include "desktop_window.h"

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
#include <QWidget>
#include <QtTest>

namespace {

// The whole screen of a weston session, as its screenshooter takes it.
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

} // namespace

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString desktopName()
{
    return qEnvironmentVariable("CLIPFERRY_DESKTOP", QStringLiteral("bare"));
}

bool managed()
{
    return onX11() && desktopName() != QLatin1String("bare");
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

std::optional<QMargins> frameExtents(QWidget &window)
{
    QString output;
    const QString id = QString::number(window.winId());
    if (runTool(QStringLiteral("xprop"), {"-id", id, "_NET_FRAME_EXTENTS"}, &output) != 0)
        return std::nullopt;
    const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(output);
    if (!match.hasMatch())
        return std::nullopt;
    return QMargins(match.captured(1).toInt(),
                    match.captured(3).toInt(),
                    match.captured(2).toInt(),
                    match.captured(4).toInt());
}

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
    const auto xy = [](QPoint p) {
        return QStringList{QString::number(p.x()), QString::number(p.y())};
    };
    // The corner's last pixels lie on the frame's resize handle; X counts the screen's pixels.
    const QPoint corner = frameOnScreen(window).bottomRight() - QPoint(1, 1);
    const QPoint target = corner + (QPointF(by) * window.devicePixelRatioF()).toPoint();
    runTool(QStringLiteral("xdotool"),
            QStringList{"mousemove"} + xy(corner) + QStringList{"mousedown", "1", "mousemove"}
                    + xy((corner + target) / 2) + QStringList{"sleep", "0.2", "mousemove"}
                    + xy(target) + QStringList{"sleep", "0.2", "mouseup", "1"});
    QTest::qWait(300); // the window manager's last configure reaches the window
}

QString savedAs(const QString &fileName)
{
    const QString folder = qEnvironmentVariable("CLIPFERRY_SCREENSHOTS");
    return folder.isEmpty() || !QDir().mkpath(folder) ? QString() : folder + '/' + fileName;
}

void saveScreenshot(QWidget &window, const QString &fileName)
{
    const QString path = savedAs(fileName);
    if (path.isEmpty())
        return;
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
    } else if (desktopName() == QLatin1String("weston")) {
        saveWestonScreen(savedAs("screen-" + fileName));
    }
    if (!shot.save(path))
        qWarning("cannot save %s", qPrintable(path));
}

void pressKeys(const QString &keys)
{
    runTool(QStringLiteral("xdotool"), QStringList{"key", "--clearmodifiers"} + keys.split(' '));
    QTest::qWait(150);
}
