#include "app/command_line.h"
#include "app/program.h"
#include "desktop/window_handover.h"
#include "platform/native_names.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Help and version are answered without a display.
    QStringList raw;
    for (int index = 1; index < argc; ++index)
        raw.append(QString::fromLocal8Bit(argv[index]));
    const CommandLine early = readCommandLine(raw);
    if (early.kind == CommandLine::Kind::Help || early.kind == CommandLine::Kind::Version)
        return answerCommandLine(early);

    // Read before Qt takes the startup id off the environment; the window already open, if
    // any, is raised with it.
    const QVariantMap activation = WindowHandover::activationFromEnvironment();
    QApplication app(argc, argv);
    // Desktops match the window to clipferry.desktop (its name and icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("clipferry"));
    // Qt has taken its own options (-platform, -style, ...) off argv by now. The paths keep
    // their bytes, also those of names that are not UTF-8 (see native_names.h).
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments.append(fromNativeBytes(argv[index]));
    const CommandLine line = readCommandLine(arguments);
    if (line.kind != CommandLine::Kind::Open)
        return answerCommandLine(line);
    return runProgram(QCoreApplication::applicationFilePath(), line.paths, activation);
}
