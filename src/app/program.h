#pragma once

#include "app/form1.h"
#include "common/program_values.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

// The program as main() starts it, in pieces that the end-to-end test starts the same way.

// Makes the machine of the program's executable the current one. When the user's own C:
// drive cannot be set up, says why in a message box and returns false.
bool installMachineFor(const QString &executablePath);

// The program-wide values and the main window on the current machine, with the encoder of
// the machine's encoder folder. The window is loaded (its start-up checks ran), not shown.
class Program
{
public:
    Program();
    Form1 &window() { return m_window; }
    // Shows the window. Files or a folder the program was started with (native paths) are
    // opened once the window is up, after start-up's messages have been answered.
    void show(const QStringList &paths = {});

private:
    ProgramValues m_values;
    Form1 m_window;
};

// The machine, the window opened with the given files or folder, and the event loop until
// the window closes; the exit code. Where a window of the same C: drive is open in the desktop
// session, the files go to that window instead, with how the desktop asked to activate this
// start (see WindowHandover), and the program ends at once.
int runProgram(const QString &executablePath,
               const QStringList &paths = {},
               const QVariantMap &activation = {});
