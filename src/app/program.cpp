#include "app/program.h"

#include "common/error.h"
#include "platform/dialogs.h"
#include "platform/encoder_host.h"
#include "platform/machine.h"

#include <QApplication>

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

int runProgram(const QString &executablePath)
{
    if (!installMachineFor(executablePath))
        return 1;
    Program program;
    program.window().show();
    return QApplication::exec();
}
