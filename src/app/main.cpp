#include "app/form1.h"
#include "platform/encoder_host.h"
#include "platform/machine.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Machine::setCurrent(Machine::forExecutable(QCoreApplication::applicationFilePath()));
    ProgramValues values;
    Form1 window(values, [] { return createEncoder(Machine::current()); });
    window.show();
    return app.exec();
}
