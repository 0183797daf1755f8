// cf-makeclip [--seconds S] [--pal] [--no-audio] [--no-video] [--dat] [--lead-in SECTORS]
//             [--parts N] [--dvd] OUTPUT
// Writes a generated Video CD-like clip (MPEG-1 + MP2), or with --dvd a DVD-style one
// (MPEG-2 + MP2), for benchmarks and manual tries.

#include "clip_generator.h"
#include "common/error.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    ClipOptions options;
    QString output;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--seconds") && !args.isEmpty())
            options.seconds = args.takeFirst().toDouble();
        else if (arg == QLatin1String("--pal"))
            options.pal = true;
        else if (arg == QLatin1String("--no-audio"))
            options.audio = false;
        else if (arg == QLatin1String("--no-video"))
            options.video = false;
        else if (arg == QLatin1String("--dat"))
            options.vcdDat = true;
        else if (arg == QLatin1String("--lead-in") && !args.isEmpty())
            options.leadInSectors = args.takeFirst().toInt();
        else if (arg == QLatin1String("--parts") && !args.isEmpty())
            options.parts = args.takeFirst().toInt();
        else if (arg == QLatin1String("--dvd"))
            options.dvd = true;
        else
            output = arg;
    }
    if (output.isEmpty()) {
        std::fputs("usage: cf-makeclip [--seconds S] [--pal] [--no-audio] [--no-video] [--dat] "
                   "[--lead-in SECTORS] [--parts N] [--dvd] OUTPUT\n",
                   stderr);
        return 2;
    }
    try {
        makeClip(output, options);
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
