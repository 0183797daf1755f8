// cf-batch-host DRIVE_C FILE: the program on the C: drive DRIVE_C converting C:\clips\FILE
// into C:\clips in two passes (as it starts up), started as a user starts a batch. It prints
// "pass=N frames=M" every 50 ms while it encodes, and the texts of message boxes (answered
// by a script), so that a test can kill it mid-file.

#include "app/program.h"
#include "scripted_dialogs.h"
#include "widgets/file_list_box.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    ScriptedDialogs dialogs;
    if (args.size() != 3
        || !installMachineFor(args[1] + QStringLiteral("/Program Files/Clipferry/clipferry")))
        return 2;
    Program program;
    Form1 &form = program.window();
    form.show();
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&form, &dialogs, shown = qsizetype(0)]() mutable {
        for (; shown < dialogs.boxes().size(); ++shown)
            std::printf("box: %s\n", qPrintable(dialogs.boxes()[shown].text));
        if (form.jobSetup().Encoder && form.jobSetup().Encoder->state() == EncoderRunning)
            std::printf("pass=%d frames=%lld\n",
                        form.jobSetup().Encoder->statistics().pass,
                        static_cast<long long>(form.jobSetup().Encoder->statistics().frames));
        std::fflush(stdout);
    });
    report.start(50);
    QTimer::singleShot(0, &form, [&] {
        form.File1->setPath(QStringLiteral("C:\\clips"));
        form.File2->setPath(QStringLiteral("C:\\clips"));
        for (int i = 0; i < form.File1->ListCount(); ++i)
            form.File1->setSelected(i, form.File1->List(i) == args[2]);
        form.cmdStart->click(); // returns when the batch is done
    });
    return QApplication::exec();
}
