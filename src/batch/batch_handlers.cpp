#include "app/form1.h"

#include "app/job_setup.h"
#include "batch/batch_notification.h"
#include "batch/batch_on_desktop.h"
#include "batch/batch_run.h"
#include "common/error.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

// The batch reads the window's lists and choices afresh for each file.
BatchSources sourcesOf(Form1 &window)
{
    return BatchSources{
            *window.File1,
            window.values(),
            window.jobSetup(),
            [&window] {
                return window.chkCopytoStorage->isChecked() ? window.StorageDrive : QString();
            },
            [&window]() -> FileSystemObject & { return *window.FileSys; },
    };
}

void showStarting(Form1 &w)
{
    w.Label5->setText(QStringLiteral("Status: starting"));
    w.Label5->show();
    w.Label6->hide();
    w.cmdStart->setEnabled(false);
    w.cmdReset->setEnabled(false);
    w.Combo1->setEnabled(false);
    w.File1->setEnabled(false);
    w.Label5->setText(QStringLiteral("Status: initializing encoder"));
}

// Lines are emptied with an empty text rather than cleared: only a new text tells a screen
// reader that the line changed.
void showReadyBetweenFiles(Form1 &w)
{
    w.Label1->setText(QString());
    w.Label2->setText(QString());
    w.Label3->setText(QString());
    w.Label7->setText(QString());
    w.Label5->hide();
    w.Label6->show();
    w.Label6->setText(QStringLiteral("Status: ready"));
    w.ProgressBar1->setValue(0);
    w.Line1->hide();
    w.Line2->hide();
}

} // namespace

void Form1::cmdStart_Click()
{
    // The stop button enables this button again while the batch still waits for the
    // encoder; a click then must not start a second batch inside the first.
    if (m_batch)
        return;
    BatchRun batch(sourcesOf(*this));
    connect(&batch, &BatchRun::fileStarting, this, [this] { showStarting(*this); });
    connect(&batch, &BatchRun::encodeStarted, this, [this] { Timer1->start(); });
    connect(&batch, &BatchRun::readyForNextFile, this, [this] {
        cmdStop_Click();
        showReadyBetweenFiles(*this);
    });
    m_batch = &batch;
    Label5->setVisible(true);
    QString failure;
    {
        // Until the batch ends, not while its messages wait for the user.
        const BatchOnDesktop onDesktop(*this, batch);
        failure = batch.run();
    }
    if (!failure.isEmpty())
        msgBox(failure);
    m_batch = nullptr;
    if (!failure.isEmpty()) {
        // The error ended the batch: the remaining files are left, the window is reset.
        cmdStop_Click();
        cmdReset_Click();
        Label1->setText(QString());
        Label7->setText(QString());
    }
    notifyBatchEnded(*this, batch);
    if (batch.closing())
        return;
    if (const QString text = batch.endOfBatchText(); !text.isEmpty())
        msgBox(text);
}

// In a batch the set-up's failure is kept for the batch, which names the file in its end box
// and goes on with the next one; here it is shown at once.
void Form1::SetupJob()
{
    try {
        m_job->SetupJob();
    } catch (const Error &e) {
        msgBox(e.description());
    }
}

void Form1::Encoder_OnStateChange(qint32 EnumState)
{
    if (EnumState == EncoderStateCode::EncoderStopped && m_batch)
        m_batch->encoderStopped();
}

bool Form1::batchRunning() const
{
    return !m_batch.isNull();
}

void Form1::endBatchForClose()
{
    if (!m_batch)
        return;
    Timer1->stop();
    m_batch->endForClose();
}
