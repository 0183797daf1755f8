#pragma once

#include "app/form1.h"
#include "platform/encoder.h"
#include "scripted_dialogs.h"
#include "temp_machine.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAbstractButton;

// The main window as the installed program opens it, on a machine of temporary folders:
// the encoder folder holds the build's engine module and worker (linked) and the program's
// three profiles, the encoder is the real one (createEncoder), message boxes are scripted.
class EngineWindow
{
public:
    // Quick: Timer1 ticks every 40 ms, so that a clip of a few seconds, which the engine
    // converts in a fraction of a second, still shows its progress. AsBuilt: once a second.
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
    // Puts a card into a reader E: and ticks the copy box with a click; the card scan that
    // the box runs is answered Yes. Returns the card's native root.
    QString insertAndChooseCard();

    // A press and release in the middle of a button.
    static void click(QAbstractButton *button);
    // The entries of a native folder, hidden ones included.
    static QStringList entriesOf(const QString &nativeFolder);
};

// What the window showed at each of the encoder's state changes and each Timer1 tick,
// recorded right after the window's own handler ran.
struct BatchMoment
{
    enum Kind { State, Tick };
    Kind kind = Tick;
    qint32 state = 0; // for a state change
    int file = 0;     // 1 for the first file of the batch, counted by the starting states
    EncoderStatistics statistics;
    QString size;       // Label1
    QString duration;   // Label2
    QString status;     // the status line in view: Label5 when shown, otherwise Label6
    QString idleStatus; // Label6, shown or not
};

class BatchLog : public QObject
{
    Q_OBJECT
public:
    explicit BatchLog(Form1 &form);

    QList<BatchMoment> moments;
    // Run at each moment once it is recorded: a test acts on the window from here.
    std::function<void(const BatchMoment &)> onMoment;

    // The status lines in view, one entry per change.
    QStringList statusLines() const;
    QList<BatchMoment> ofFile(int file) const;
    // The statistics when the file reported its stopped state: its last ones.
    EncoderStatistics lastStatisticsOf(int file) const;

private:
    void record(BatchMoment::Kind kind, qint32 state);

    Form1 &m_form;
    int m_file = 0;
};
