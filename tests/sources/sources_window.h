#pragma once

#include "app/form1.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QStringList>

#include <functional>
#include <memory>

class Form9;

// The main window on a machine of temporary folders, with scripted message boxes and a
// scripted encoder offering the given profiles. The engine module is in place, so start-up
// asks nothing; the boxes of start-up are forgotten.
struct SourcesWindow
{
    enum class Encoder { Works, FailsToStart };

    explicit SourcesWindow(QStringList profiles = {QStringLiteral("Kestrel High"),
                                                   QStringLiteral("Kestrel Low"),
                                                   QStringLiteral("Kestrel Medium")},
                           Encoder encoder = Encoder::Works);

    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    ScriptedBackend *backend = nullptr;
    std::unique_ptr<Form1> form;
};

// Runs a command that shows the folder browser and answers the browser with `answer` once
// it is up. Returns the browser's title as the command set it. When the answer closes the
// browser through its title bar, the window is gone afterwards.
QString runWithBrowser(Form1 &form,
                       const std::function<void()> &command,
                       const std::function<void(Form9 &)> &answer);

// Answers: Cancel, and a close through the title bar (which leaves SelectedFolder as the
// test set it, so any folder can be handed to the command).
void pressCancel(Form9 &browser);
void closeThroughTitleBar(Form9 &browser);
