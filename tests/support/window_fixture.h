#pragma once

#include "app/form1.h"
#include "app/program.h"
#include "common/error.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class FileListBox;
class QAbstractButton;

// Clicks a file list's entries as a user does: "^name" with Ctrl, "+name" with Shift, "v" the
// Down key.
void clickEntries(FileListBox &list, const QStringList &steps);
// The names a file list shows, or only its selected ones.
QStringList listed(const FileListBox &list, bool selectedOnly = false);

// The started windows of the tests, each with scripted message boxes: WindowFixture opens
// Form1 by itself on a machine of temporary folders; ProgramFixture starts the program as
// main() does, on a user's C: drive of its own.

// Waits until a window is on the screen; false (with a warning) when it does not come.
bool waitUntilShown(QWidget &window);

// The main window on a machine of temporary folders, with scripted message boxes and a scripted
// encoder (or the real one over this build's engine). Nothing is installed or opened until the
// test says so; the boxes of start-up stay in `dialogs` unless the test clears them.
class WindowFixture
{
public:
    static inline const QString enginePath
            = QStringLiteral("C:\\Program Files\\Windows Media Components\\Encoder\\WMEncEng.dll");
    static inline const QString browserPath
            = QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
    // Quick: Timer1 ticks every 40 ms, so that a clip of a few seconds still shows progress.
    enum class Ticks { Quick, AsBuilt };

    WindowFixture();
    ~WindowFixture();

    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    ScriptedBackend *backend = nullptr; // the scripted encoder's, once one is made
    std::unique_ptr<Form1> form;

    // The engine module on C: (the start-up check looks for it) and the browser command.
    void install(bool engine = true, bool browser = true);
    // Answers the coming Yes/No questions in turn (true: Yes).
    void answer(const QList<bool> &answers);

    // The window over a scripted encoder offering these profiles.
    Form1 &open(const QStringList &profiles = kestrelProfileNames());
    // The window whose encoder cannot be made: it throws an Error with this description.
    Form1 &openFailing(const QString &description);
    // The window over the real encoder as the program makes it (whatever C: holds).
    Form1 &openReal();
    // Engine module installed, the window open over a scripted encoder, start-up's boxes cleared.
    Form1 &openInstalled(const QStringList &profiles = kestrelProfileNames());
    // This build's engine and profiles installed, the window open on them and shown.
    Form1 &openOnBuiltEngine(Ticks ticks = Ticks::Quick);
    // Shows the window and waits until it is on the screen.
    Form1 &show();

    // Every box so far as "ok: text" or "yn: text".
    QStringList boxes() const;

    // Copies native files into a folder of this machine (made when missing).
    void putFiles(const QString &folder, const QStringList &nativeFiles);
    // Files in a folder that each hold their own name.
    void writeInputs(const QString &folder, const QStringList &names);
    // Points File1 at the input folder and File2 at the output folder.
    void chooseFolders(const QString &input, const QString &output);
    // Selects exactly these entries of File1, without the click handler.
    void select(const QStringList &names);
    // Clicks File1's entries (see the free function).
    void clickEntries(const QStringList &steps) { ::clickEntries(*form->File1, steps); }
    // A card in E: with the copy box ticked, as the box's own scan leaves it; its native root.
    QString insertCard(const QString &storageDrive = QStringLiteral("E"));
    // A card in E: chosen by a click on the copy box and Yes to its question; its native root.
    QString chooseCard();
    // A press and release in the middle of a button.
    static void click(QAbstractButton *button);
};

// Sets up a C: drive of its own under `folder` from the build's, as an installed program sets
// up a user's drive, and makes it the current machine. With `profilesSetUp` the profiles are
// there as Settings / Check Profile Setup leaves them (no hint at start-up); without, there
// are none. False when something could not be set up. A test that starts the real program as
// a process points it at this drive.
bool installUserDrive(const QString &folder, bool profilesSetUp = true);

// The program as main() starts it, with the command line's paths, on a drive of its own (the
// machine's real drives stay, so a native path is on Z: as a user's files are).
class ProgramFixture
{
public:
    ProgramFixture();
    ~ProgramFixture();

    // Starts the program and returns once its window is up and the paths have been opened.
    Form1 &start(const QStringList &paths = {});
    Form1 &window() { return m_program->window(); }

    ScriptedDialogs dialogs;

private:
    QTemporaryDir m_drive;
    std::unique_ptr<Program> m_program;
};
