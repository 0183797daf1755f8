#pragma once

#include "desktop/launcher_entry.h"
#include "desktop/sleep_inhibitor.h"

#include <QObject>
#include <QStringList>

class BatchRun;
class FileListBox;
class QProgressBar;
struct ProgramValues;

// What the desktop shows of a running batch: the machine kept awake ("Converting videos"),
// and on the program's task bar entry the batch's progress and the count of files left. It
// lives as long as the batch: however the batch ends (through, by an error, by the window
// closing), the machine may sleep again and the entry is cleared.
class BatchOnDesktop : public QObject
{
    Q_OBJECT
public:
    // The batch's files are the entries selected in the input list when it starts; the bar
    // shows the share done of the file being encoded, InputFile names it.
    BatchOnDesktop(const FileListBox &inputs,
                   const QProgressBar &bar,
                   const ProgramValues &values,
                   const BatchRun &batch);

private:
    void fileStarted();
    void fileEnded();
    void showProgress(int value);
    // Files done, and the share done of the next one.
    void show(int filesDone, double ofNextFile);

    const QProgressBar &m_bar;
    const ProgramValues &m_values;
    QStringList m_files;         // the entries selected when the batch started, in order
    int m_current = 0;           // the file being converted, as an index into m_files
    bool m_betweenFiles = false; // it has ended, and the next one has not started
    int m_fileShare = 0;         // the bar's highest value for the file being converted
    SleepInhibitor m_awake;
    LauncherEntry m_entry;
};
