#include "batch/progress_view.h"

#include "batch/job_setup.h"
#include "batch/progress_monitor.h"
#include "common/step_over.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

ProgressView::ProgressView(ProgressWidgets widgets, const JobSetup &job)
    : m_widgets(widgets)
    , m_job(job)
{}

void ProgressView::Timer1_Timer()
{
    // A tick that cannot finish (no statistics yet, no duration to measure against) ends
    // quietly where it failed; the next tick starts afresh.
    EncoderStatistics statistics;
    if (!stepOver([&] { statistics = m_job.encoderInUse().statistics(); }))
        return;
    const ProgressTexts texts = progressTexts(statistics, m_job.DurationSec);
    const ProgressWidgets &w = m_widgets;
    w.Label1->setText(texts.size);
    w.Label2->setText(texts.duration);
    w.Label3->setText(texts.bitRate);
    if (!texts.percentDone)
        return;
    w.Label5->setText(texts.status);
    w.ProgressBar1->setValue(*texts.percentDone);
    w.Line1->show();
    w.Line2->show();
    w.Label5->show();
    w.Label6->hide();
}

void ProgressView::showBusyLine()
{
    m_widgets.Label5->setVisible(true);
}

void ProgressView::showStarting()
{
    m_widgets.Label5->setText(QStringLiteral("Status: starting"));
    m_widgets.Label5->show();
    m_widgets.Label6->hide();
}

void ProgressView::showInitializing()
{
    m_widgets.Label5->setText(QStringLiteral("Status: initializing encoder"));
}

// Lines are emptied with an empty text rather than cleared: only a new text tells a screen
// reader that the line changed.
void ProgressView::showReadyBetweenFiles()
{
    const ProgressWidgets &w = m_widgets;
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

void ProgressView::showEndedByError()
{
    m_widgets.Label1->setText(QString());
    m_widgets.Label7->setText(QString());
}

void ProgressView::clear()
{
    const ProgressWidgets &w = m_widgets;
    w.Label1->setText(QString());
    w.Label2->setText(QString());
    w.Label3->setText(QString());
    w.Label5->setText(QString());
    w.Label5->show();
    w.Label6->setText(QString());
    w.Label6->hide();
    w.Label7->setText(QString());
    w.Line1->hide();
    w.Line2->hide();
}

void ProgressView::startTicking()
{
    m_widgets.Timer1->start();
}

void ProgressView::stopTicking()
{
    m_widgets.Timer1->stop();
}
