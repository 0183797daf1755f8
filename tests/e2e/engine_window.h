#pragma once

#include "app/form1.h"
#include "encoder/encoder.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QString>
#include <QStringList>

#include <memory>

class QAbstractButton;

// The main window as the installed program opens it, on a machine of temporary folders with
// the build's engine and profiles installed; the encoder is the real one, message boxes are
// scripted.
class EngineWindow
{
public:
    // Quick: Timer1 ticks every 40 ms, so that a clip of a few seconds still shows its
    // progress. AsBuilt: once a second.
    enum class Ticks { Quick, AsBuilt };

    explicit EngineWindow(Ticks ticks = Ticks::Quick);
    ~EngineWindow();

    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    std::unique_ptr<Form1> form;

    // Copies native files into a folder of this machine (made when missing).
    void putFiles(const QString &folder, const QStringList &nativeFiles);
    // Points File1 at the input folder and File2 at the output folder.
    void chooseFolders(const QString &input, const QString &output);
    // Selects File1's entries by Ctrl-clicks on the list, as a user picks several files.
    void ctrlClickEntries(const QStringList &names);
    // Inserts a card as E: and ticks the copy box, answering its question; the card's root.
    QString chooseCard();
    // A press and release in the middle of a button.
    static void click(QAbstractButton *button);
};
