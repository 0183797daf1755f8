#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a program run as the user nobody did.
struct NobodyRun
{
    int exitCode = -1; // -1: it did not start, crashed or did not end in time
    QByteArray errors; // its standard error
};

// Runs a program of the build as the user nobody, for what a test running as root must see
// from an ordinary user's side. The program and the build's "Program Files" are first copied
// where anyone may read them (the build folder may be closed to others); the program finds
// that C: drive through CLIPFERRY_BUILD_DRIVE_C. Offscreen platform.
NobodyRun runAsNobody(const QString &program, const QStringList &arguments);
