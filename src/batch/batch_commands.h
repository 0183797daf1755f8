#pragma once

#include "common/program_values.h"
#include "platform/file_system.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class BatchRun;
class FileListBox;
class JobSetup;
class ProgressView;
class QComboBox;
class QProgressBar;
class QPushButton;
class QWidget;
class TextBox;

// The widgets the batch's commands work on.
struct BatchWidgets
{
    QWidget *window; // the batch's messages and desktop notice are the window's
    FileListBox *File1;
    FileListBox *File2;
    QComboBox *Combo1;
    QPushButton *cmdStart;
    QPushButton *cmdReset;
    TextBox *Text3;
    TextBox *Text4;
    const QProgressBar *ProgressBar1;
};

// The batch's commands: the encode button cmdStart runs a BatchRun over the selected files,
// cmdStop stops the file being encoded, cmdReset empties the window for the next batch; the
// encoder's stopped state ends the batch's wait for a file.
class BatchCommands
{
public:
    // storageCard gives the letter of the card finished outputs are copied to (empty: none).
    BatchCommands(ProgramValues &values,
                  const std::unique_ptr<FileSystemObject> &fileSys,
                  JobSetup &job,
                  ProgressView &view,
                  std::function<QString()> storageCard,
                  BatchWidgets widgets);

    void cmdStart_Click();
    void cmdStop_Click();
    void cmdReset_Click();
    void Encoder_OnStateChange(qint32 EnumState);

    bool batchRunning() const;
    // Run when the window closes: a running batch stops its encode (or the set-up's reading
    // of the input, or its copy to the card), lets the partial file be finished, and leaves
    // its wait so the program can quit cleanly.
    void endBatchForClose();

private:
    void showStarting();

    ProgramValues &m_values;
    const std::unique_ptr<FileSystemObject> &FileSys; // the window's, while it is open
    JobSetup &m_job;
    ProgressView &m_view;
    std::function<QString()> m_storageCard;
    BatchWidgets m_widgets;
    QPointer<BatchRun> m_batch; // the batch cmdStart_Click runs, while it runs (none: idle)
};
