#pragma once

#include "app/form1.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QFile>
#include <QStringList>

#include <memory>

// The program's own texts, written out here as the user reads them.
namespace texts {

inline QString enginePathOn(const QString &winDrive)
{
    return winDrive + ":\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll";
}

// The combined question at start-up when the engine file is missing.
inline QString startupQuestion(const QString &winDrive)
{
    return "yn: File not found: \r\n" + enginePathOn(winDrive)
           + "\r\nClipferry only works with Windows Media Encoder 9 Series installed.\r\n\r\n"
             "Download Windows Media Encoder 9 Series?";
}

// The download command's own message about a missing engine file.
inline QString fileNotFound(const QString &winDrive)
{
    return "ok: File not found: \r\n" + enginePathOn(winDrive)
           + "\r\n\r\nClipferry only works with Windows Media Encoder 9 Series installed.";
}

inline const QString downloadQuestion = "yn: Download Windows Media Encoder 9 Series?";
inline const QString profileHint = "ok: Click Settings / Check Profile Setup\r\nto copy Pocket "
                                   "PC profiles to Windows Media Encoder directory.";
// The message names the browser, not the page.
inline const QString browserMissing
        = "ok: Cannot start C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE: file not found.";

} // namespace texts

// A machine of temporary folders, scripted message boxes and a main window opened on them.
struct AppFixture
{
    static inline const QString browserPath
            = QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");

    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    ScriptedBackend *backend = nullptr;
    std::unique_ptr<Form1> form;

    // The usual machine has the engine module on C: and the browser; Windows is C:\Windows.
    void install(bool engine = true, bool browser = true)
    {
        if (engine)
            machine.writeFile(texts::enginePathOn("C"));
        if (browser)
            QFile::setPermissions(machine.writeFile(browserPath, "#!/bin/sh\n"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Answers the coming Yes/No questions in turn (true: Yes).
    void answer(const QList<bool> &answers)
    {
        for (bool yes : answers)
            yes ? dialogs.answerYes() : dialogs.answerNo();
    }

    Form1 &open(const QStringList &profiles = {"Kestrel High", "Kestrel Low", "Kestrel Medium"})
    {
        form = std::make_unique<Form1>(
                values, [this, profiles] { return scriptedEncoder(&backend, profiles); });
        return *form;
    }

    // Every box so far as "ok: text" or "yn: text".
    QStringList boxes() const
    {
        QStringList result;
        for (const ScriptedDialogs::Box &box : dialogs.boxes())
            result.append((box.buttons == MsgButtons::Ok ? "ok: " : "yn: ") + box.text);
        return result;
    }
};
