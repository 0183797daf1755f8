#include "built_engine.h"

#include <QFile>

bool installBuiltEngine(const QString &nativeC)
{
    const QString built = qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", CF_BUILD_DRIVE_C);
    const QString encoder = "/Program Files/Windows Media Components/Encoder/";
    const QString program = "/Program Files/Clipferry/";
    bool done = true;
    for (const QString file : {"WMEncEng.dll", "WMEncWorker"})
        done &= QFile::link(built + encoder + file, nativeC + encoder + file);
    for (const QString level : {"High", "Low", "Medium"}) {
        const QString name = "Kestrel " + level + ".prx";
        done &= QFile::copy(built + program + name, nativeC + program + name)
                && QFile::copy(built + program + name, nativeC + encoder + "Profiles/" + name);
    }
    return done;
}

QString builtWorker()
{
    return qEnvironmentVariable("CLIPFERRY_BUILD_DRIVE_C", CF_BUILD_DRIVE_C)
           + "/Program Files/Windows Media Components/Encoder/WMEncWorker";
}

QStringList workerEncodeArguments(const QString &input, const QString &output, int passes)
{
    return {"encode",
            input,
            output + ".part",
            output,
            QString::number(passes),
            "320",
            "240",
            "30",
            "300000",
            "5",
            "48000",
            "44100",
            "2"};
}
