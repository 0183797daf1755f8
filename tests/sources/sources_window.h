#pragma once

#include "app/form1.h"
#include "common/error.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QStringList>

#include <memory>

// The main window on a machine of temporary folders, with scripted message boxes and a
// scripted encoder offering the given profiles (or failing to start). The engine module is
// in place, so start-up asks nothing; the boxes of start-up are forgotten.
struct SourcesWindow
{
    explicit SourcesWindow(QStringList profiles = {"Kestrel High", "Kestrel Low", "Kestrel Medium"},
                           bool encoderStarts = true)
    {
        machine.writeFile("C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll");
        form = std::make_unique<Form1>(values, [=, this]() -> std::unique_ptr<MediaEncoder> {
            if (!encoderStarts)
                throw Error(QStringLiteral("The encoder engine could not be loaded: test."));
            return scriptedEncoder(&backend, profiles);
        });
        dialogs.clear();
    }

    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    ScriptedBackend *backend = nullptr;
    std::unique_ptr<Form1> form;
};
