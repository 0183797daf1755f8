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

// Runs a program of the build as the user nobody, for the cases a test running as root must
// see from an ordinary user's side (root reads and writes every file). The build folder may
// be closed to other users (a checkout under /root), so the program and the build's encoder
// and profiles are first copied into a folder anyone may read, and the program is told that
// C: drive through CLIPFERRY_BUILD_DRIVE_C. Runs on the offscreen platform.
NobodyRun runAsNobody(const QString &program, const QStringList &arguments);
