// cf-batch-host DRIVE_C FILE PASSES
//
// The program as main() starts it, on the C: drive DRIVE_C, converting C:\clips\FILE into
// C:\clips with one or two passes, as a user starts a batch: the entry selected in File1, the
// pass option and the encode button clicked. Message boxes are answered by a script and their
// texts printed. Prints "pass=N frames=M" every 50 ms while the encoder runs, so that a test
// can kill this host mid-file, in the pass it wants.

#include "app/program.h"
#include "scripted_dialogs.h"
#include "sources/file_list_box.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

namespace {

void printBoxes(const ScriptedDialogs &dialogs, qsizetype &shown)
{
    for (; shown < dialogs.boxes().size(); ++shown)
        std::printf("box: %s\n", qPrintable(dialogs.boxes()[shown].text));
}

void startBatch(Form1 &form, const QString &file, int passes)
{
    form.File1->setPath(QStringLiteral("C:\\clips"));
    form.File2->setPath(QStringLiteral("C:\\clips"));
    for (int i = 0; i < form.File1->ListCount(); ++i)
        form.File1->setSelected(i, form.File1->List(i) == file);
    (passes == 2 ? form.optTwoPass : form.optOnePass)->click();
    form.cmdStart->click(); // returns when the batch is done
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fputs("usage: cf-batch-host DRIVE_C FILE PASSES\n", stderr);
        return 2;
    }
    ScriptedDialogs dialogs;
    if (!installMachineFor(args[1] + QStringLiteral("/Program Files/Clipferry/clipferry")))
        return 1;
    Program program;
    Form1 &form = program.window();
    form.show();
    qsizetype shown = 0;
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&] {
        printBoxes(dialogs, shown);
        if (form.Encoder && form.Encoder->state() == EncoderRunning) {
            const EncoderStatistics s = form.Encoder->statistics();
            std::printf("pass=%d frames=%lld\n", s.pass, static_cast<long long>(s.frames));
        }
        std::fflush(stdout);
    });
    report.start(50);
    QTimer::singleShot(0, &form, [&] { startBatch(form, args[2], args[3].toInt()); });
    return QApplication::exec();
}
