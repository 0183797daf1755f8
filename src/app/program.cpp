#include "app/program.h"

#include "common/error.h"
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

int runProgram(const QString &executablePath, const QStringList &paths)
{
    if (!installMachineFor(executablePath))
        return 1;
    Program program;
    program.show(paths);
    return QApplication::exec();
}
