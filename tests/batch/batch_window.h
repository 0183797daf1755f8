#pragma once

#include "app/form1.h"
#include "scripted_backend.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

// The main window on a machine of temporary folders, over a scripted encoder. Input files
// live in C:\Videos, outputs go to C:\Out. The scripted encoder writes no media, so a test
// that needs an output makes the started job write one.
class BatchWindow
{
public:
    BatchWindow();
    ~BatchWindow();

    TempMachine machine;
    ScriptedDialogs dialogs;
    ProgramValues values;
    ScriptedBackend *backend = nullptr;
    std::unique_ptr<Form1> form;

    // Writes the files into C:\Videos, lists that folder in File1 and C:\Out in File2, and
    // selects the named entries.
    void listInput(const QStringList &files, const QStringList &selected);
    void listAndSelect(const QStringList &files) { listInput(files, files); }
    // A card in E:, chosen as the storage card (StorageDrive = storageDrive) with the copy box
    // ticked; returns the card's native root.
    QString insertCard(const QString &storageDrive = QStringLiteral("E"));
    // Called with every state code the window receives, after the window's own handler;
    // job is the number of jobs started so far.
    void onState(std::function<void(qint32 state, int job)> step);
    // Every started job writes "<input name> encoded" to its output and ends well.
    void finishEachJob();
    // Writes what the engine would write for the last started job.
    void writeOutputOfLastJob();

    QString outputFolder() const; // native C:\Out
    QByteArray readNative(const QString &nativePath) const;
    // The enabled state of cmdStart, cmdReset, Combo1 and File1, as "1101".
    QString lockedControls() const;
};
