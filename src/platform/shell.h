#pragma once

#include <QString>

class Machine;

constexpr int vbNormalFocus = 1;

// Starts a program from a command line in Windows form: the program's path, optionally a
// blank and one argument ("C:\Program Files\Internet Explorer\IEXPLORE.EXE file:///..."). The
// path may hold blanks; the shortest leading part that names an existing file is the
// program. Returns at once; fails with a description when the program cannot be started.
void Shell(Machine &machine, const QString &commandLine, int windowStyle = vbNormalFocus);
void Shell(const QString &commandLine, int windowStyle = vbNormalFocus);
