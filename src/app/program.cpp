#include "app/program.h"

#include "app/later_starts.h"
#include "common/error.h"
#include "desktop/window_handover.h"
#include "encoder/encoder_host.h"
#include "platform/machine.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QTimer>

bool installMachineFor(const QString &executablePath)
{
    try {
        Machine::setCurrent(Machine::forExecutable(executablePath));
        return true;
    } catch (const Error &e) {
        msgBox(e.description());
        return false;
    }
}

Program::Program()
    : m_window(m_values, [] { return createEncoder(Machine::current()); })
{}

void Program::show(const QStringList &paths)
{
    m_window.show();
    if (paths.isEmpty())
        return;
    QTimer::singleShot(0, &m_window, [this, paths] { m_window.openFiles(paths); });
}

int runProgram(const QString &executablePath,
               const QStringList &paths,
               const QVariantMap &activation)
{
    if (!installMachineFor(executablePath))
        return 1;
    WindowHandover handover(Machine::current().driveCRoot());
    if (handover.handOver(paths, activation))
        return 0;
    Program program;
    program.show(paths);
    serveLaterStarts(program.window(), handover); // after this start's own files
    return QApplication::exec();
}
