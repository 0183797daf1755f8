#pragma once

#include "app/form1.h"
#include "app/program.h"
#include "scripted_dialogs.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Sets up a C: drive of its own under `folder` from the build's, as an installed program sets
// up a user's drive, and makes it the current machine. With `profilesSetUp` the profiles are
// there as Settings / Check Profile Setup leaves them (no hint at start-up); without, there
// are none. False when something could not be set up.
bool installUserDrive(const QString &folder, bool profilesSetUp = true);

// The program as main() starts it, with the command line's paths, on a drive of its own (the
// machine's real drives stay, so a native path is on Z: as a user's files are). Message boxes
// are scripted.
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
