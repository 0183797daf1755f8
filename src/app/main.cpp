#include "app/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Desktops match the window to clipferry.desktop (its name and icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("clipferry"));
    return runProgram(QCoreApplication::applicationFilePath());
}
