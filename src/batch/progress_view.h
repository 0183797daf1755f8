#pragma once

class JobSetup;
class QFrame;
class QLabel;
class QProgressBar;
class QTimer;

// The widgets the progress view shows a file's progress in.
struct ProgressWidgets
{
    QLabel *Label1; // size
    QLabel *Label2; // duration
    QLabel *Label3; // bit rate
    QLabel *Label5; // status while busy
    QLabel *Label6; // status when ready
    QLabel *Label7; // the output being made
    QProgressBar *ProgressBar1;
    QFrame *Line1;
    QFrame *Line2;
    QTimer *Timer1; // the progress monitor's tick
};

// The progress view: the status lines, the statistics and the bar, and the progress
// monitor's tick Timer1, which reads the encoder's statistics against the input's duration.
class ProgressView
{
public:
    ProgressView(ProgressWidgets widgets, const JobSetup &job);

    void Timer1_Timer();

    // A batch starts: the busy status line shows.
    void showBusyLine();
    // A file is being set up; between the two the batch's controls are disabled.
    void showStarting();
    void showInitializing();
    // A file's encode or set-up ended: the window is idle again.
    void showReadyBetweenFiles();
    // An error ended the batch, after the reset.
    void showEndedByError();
    // The reset empties the displays and keeps the bar as it was.
    void clear();

    void startTicking();
    void stopTicking();

private:
    ProgressWidgets m_widgets;
    const JobSetup &m_job;
};
