#include "app/form1.h"

#include "common/step_over.h"
#include "platform/machine.h"
#include "widgets/file_list_box.h"
#include "widgets/text_box.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

void Form1::cmdStop_Click()
{
    Timer1->stop();
    // Stopping an idle encoder, or one that was never created, is no failure worth a word.
    stepOver([this] { m_job->encoderInUse().stop(); });
    cmdStart->setEnabled(true);
    cmdReset->setEnabled(true);
}

void Form1::cmdReset_Click()
{
    // The stop button enables this button while the batch still waits for the encoder;
    // resetting the lists under a running batch would pull its files away.
    if (batchRunning())
        return;
    Combo1->setEnabled(true);
    File1->setEnabled(true);
    // A folder that can no longer be listed keeps its entries; the reset goes on regardless.
    stepOver([this] { File1->Refresh(); });

    // An empty text, unlike clearing, tells a screen reader that the line changed.
    Label1->setText(QString());
    Label2->setText(QString());
    Label3->setText(QString());
    Label5->setText(QString());
    Label5->show();
    Label6->setText(QString());
    Label6->hide();
    Label7->setText(QString());
    Text3->setText(QString());
    Text4->setText(QString());

    const QString programFolder = Machine::current().programFolder();
    stepOver([&] { File1->setPath(programFolder); });
    stepOver([&] { File2->setPath(programFolder); });
    Line1->hide();
    Line2->hide();
}
