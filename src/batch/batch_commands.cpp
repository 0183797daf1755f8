#include "batch/batch_commands.h"

#include "batch/batch_notification.h"
#include "batch/batch_on_desktop.h"
#include "batch/batch_run.h"
#include "batch/job_setup.h"
#include "batch/progress_view.h"
#include "common/step_over.h"
#include "platform/machine.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

#include <QComboBox>
#include <QPushButton>

BatchCommands::BatchCommands(ProgramValues &values,
                             const std::unique_ptr<FileSystemObject> &fileSys,
                             JobSetup &job,
                             ProgressView &view,
                             std::function<QString()> storageCard,
                             BatchWidgets widgets)
    : m_values(values)
    , FileSys(fileSys)
    , m_job(job)
    , m_view(view)
    , m_storageCard(std::move(storageCard))
    , m_widgets(widgets)
{}

void BatchCommands::showStarting()
{
    m_view.showStarting();
    m_widgets.cmdStart->setEnabled(false);
    m_widgets.cmdReset->setEnabled(false);
    m_widgets.Combo1->setEnabled(false);
    m_widgets.File1->setEnabled(false);
    m_view.showInitializing();
}

void BatchCommands::cmdStart_Click()
{
    // The stop button enables this button again while the batch still waits for the
    // encoder; a click then must not start a second batch inside the first.
    if (m_batch)
        return;
    // The batch reads the window's lists and choices afresh for each file.
    BatchRun batch(BatchSources{
            *m_widgets.File1,
            m_values,
            m_job,
            m_storageCard,
            [this]() -> FileSystemObject & { return *FileSys; },
    });
    QWidget *const window = m_widgets.window;
    QObject::connect(&batch, &BatchRun::fileStarting, window, [this] { showStarting(); });
    QObject::connect(&batch, &BatchRun::encodeStarted, window, [this] { m_view.startTicking(); });
    QObject::connect(&batch, &BatchRun::readyForNextFile, window, [this] {
        cmdStop_Click();
        m_view.showReadyBetweenFiles();
    });
    m_batch = &batch;
    m_view.showBusyLine();
    QString failure;
    {
        // Until the batch ends, not while its messages wait for the user.
        const BatchOnDesktop onDesktop(*m_widgets.File1, *m_widgets.ProgressBar1, m_values, batch);
        failure = batch.run();
    }
    if (!failure.isEmpty())
        msgBox(failure);
    m_batch = nullptr;
    if (!failure.isEmpty()) {
        // The error ended the batch: the remaining files are left, the window is reset.
        cmdStop_Click();
        cmdReset_Click();
        m_view.showEndedByError();
    }
    notifyBatchEnded(*window, batch);
    if (batch.closing())
        return;
    if (const QString text = batch.endOfBatchText(); !text.isEmpty())
        msgBox(text);
}

void BatchCommands::Encoder_OnStateChange(qint32 EnumState)
{
    if (EnumState == EncoderStateCode::EncoderStopped && m_batch)
        m_batch->encoderStopped();
}

bool BatchCommands::batchRunning() const
{
    return !m_batch.isNull();
}

void BatchCommands::endBatchForClose()
{
    if (!m_batch)
        return;
    m_view.stopTicking();
    m_batch->endForClose();
}

void BatchCommands::cmdStop_Click()
{
    m_view.stopTicking();
    // Stopping an idle encoder, or one that was never created, is no failure worth a word.
    stepOver([this] { m_job.encoderInUse().stop(); });
    m_widgets.cmdStart->setEnabled(true);
    m_widgets.cmdReset->setEnabled(true);
}

void BatchCommands::cmdReset_Click()
{
    // The stop button enables this button while the batch still waits for the encoder;
    // resetting the lists under a running batch would pull its files away.
    if (batchRunning())
        return;
    FileListBox *const File1 = m_widgets.File1;
    m_widgets.Combo1->setEnabled(true);
    File1->setEnabled(true);
    // A folder that can no longer be listed keeps its entries; the reset goes on regardless.
    stepOver([File1] { File1->Refresh(); });

    // An empty text, unlike clearing, tells a screen reader that the line changed.
    m_view.clear();
    m_widgets.Text3->setText(QString());
    m_widgets.Text4->setText(QString());

    const QString programFolder = Machine::current().programFolder();
    stepOver([&] { File1->setPath(programFolder); });
    stepOver([&] { m_widgets.File2->setPath(programFolder); });
}
