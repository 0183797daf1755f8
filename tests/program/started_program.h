#pragma once

#include "app/form1.h"
#include "app/program.h"
#include "scripted_dialogs.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// The program as main() starts it, with the command line's paths, on a C: drive of its own
// in a temporary folder (set up from the build's C: drive as an installed program sets up
// a user's drive, with the profiles set up) and the machine's real drives, so a native path is on
// Z: as a user's files are. Message boxes are scripted.
class StartedProgram
{
public:
    StartedProgram();
    ~StartedProgram();

    // Starts the program and returns once its window is up and the paths have been opened.
    Form1 &start(const QStringList &paths = {});
    Form1 &window() { return m_program->window(); }

    ScriptedDialogs dialogs;

private:
    QTemporaryDir m_drive;
    std::unique_ptr<Program> m_program;
};
