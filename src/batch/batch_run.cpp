#include "app/form1.h"

#include "batch/batch_report.h"
#include "batch/failed_output.h"
#include "batch/output_name.h"
#include "common/error.h"
#include "common/step_over.h"
#include "common/texts.h"
#include "platform/copy_file.h"
#include "platform/win_paths.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

// How long a closing window gives the encoder to finish the partial file after its stop.
constexpr int closingStopBoundMs = 15000;

// The list shows regular files only, but an entry may have become a pipe, a socket or a
// device since it was listed; reading one would wait for a writer that never comes. Empty
// when the entry is (still) a file, or gone, which the encoder then reports.
QString notAFileToConvert(const QString &inputPath)
{
    QFileInfo info;
    try {
        info.setFile(toNativePath(inputPath));
    } catch (const Error &) {
        return {}; // a path the encoder cannot open either: it says why
    }
    if (!info.exists() || info.isFile() || info.isDir())
        return {};
    return QStringLiteral("Cannot open the input %1: it is not a regular file").arg(inputPath);
}

} // namespace

void Form1::cmdStart_Click()
{
    // The stop button enables this button again while the batch still waits for the
    // encoder; a click then must not start a second batch inside the first.
    if (m_batchRunning)
        return;
    m_batchRunning = true;
    m_batchClosing = false;
    m_notConverted.clear();
    m_remarks.clear();
    m_outputsOfBatch.clear();
    m_filesOfBatch = File1->SelectedCount();
    m_filesConverted = 0;
    const bool completed = runBatch();
    m_batchRunning = false;
    if (!completed) {
        cmdStop_Click();
        cmdReset_Click();
        Label1->clear();
        Label7->clear();
    }
    notifyBatchEnded();
    if (!m_batchClosing)
        reportEndOfBatch();
}

// Encodes the selected entries one after another; false when an error ended the batch
// (its description has been shown).
bool Form1::runBatch()
{
    try {
        Label5->setVisible(true);
        const int count = File1->ListCount();
        for (int index = 0; index < count && !m_batchClosing; ++index) {
            if (File1->Selected(index))
                encodeEntry(index);
        }
        return true;
    } catch (const Error &e) {
        msgBox(e.description());
        return false;
    }
}

// One selected entry: set up, encoded, copied to the card.
void Form1::encodeEntry(int index)
{
    const QString input = File1->List(index);
    const std::optional<QString> output = outputNameFor(input);
    if (!output) {
        m_notConverted.append(input + QStringLiteral(": not an MPEG or Video CD file"));
        return;
    }
    if (!claimOutputName(input, *output) || !setUpEntry(input, *output))
        return;

    // The output this file is written to; later changes of the output folder are for the
    // files after it.
    const QString outputPath = Encoder->file().localFileName();
    const OutputStamp before = stampOf(outputPath);
    Encoder->start();
    Timer1->start();
    waitForStopped();
    EncoderStopped = false;
    cmdStop_Click();
    showReadyBetweenFiles();
    finishEntry(input, outputPath, before);
}

// Shows the entry as starting and sets the encoder up for it. A file that cannot be set up
// (empty, no video, unreadable, gone) is named at the end of the batch and the window shows
// "ready" again; false then, and when the window closes meanwhile.
bool Form1::setUpEntry(const QString &input, const QString &output)
{
    encoderInUse(); // without an encoder no file can be done: that ends the batch at once
    if (const QString reason = notAFileToConvert(joinPath(File1->Path(), input));
        !reason.isEmpty()) {
        m_notConverted.append(input + QStringLiteral(": ") + reason);
        return false;
    }
    showStarting();
    m_values.InputFile = input;
    m_values.OutputFile = output;
    SetupJob();
    if (m_batchClosing)
        return false;
    if (m_setupFailure.isEmpty())
        return true;
    m_notConverted.append(input + QStringLiteral(": ") + m_setupFailure);
    cmdStop_Click();
    showReadyBetweenFiles();
    return false;
}

void Form1::showStarting()
{
    Label5->setText(QStringLiteral("Status: starting"));
    Label5->show();
    Label6->hide();
    cmdStart->setEnabled(false);
    cmdReset->setEnabled(false);
    Combo1->setEnabled(false);
    File1->setEnabled(false);
    Label5->setText(QStringLiteral("Status: initializing encoder"));
}

// A file that ended well, or was stopped, counts as finished and goes to the card; what is
// worth a remark about it is told at the end of the batch. One that failed inside the engine
// leaves nothing behind and is named at the end among the files not converted.
void Form1::finishEntry(const QString &input, const QString &outputPath, const OutputStamp &before)
{
    const QString failure = Encoder->lastFailure();
    if (failure.isEmpty()) {
        ++m_filesConverted;
        if (const QString notice = Encoder->lastNotice(); !notice.isEmpty())
            addRemark(input, notice);
        if (!m_batchClosing)
            copyToStorageCard(input, outputPath);
        return;
    }
    QString reason = failure;
    try {
        removeFailedOutput(outputPath, before);
    } catch (const Error &e) {
        reason += QLatin1Char(' ') + e.description();
    }
    m_notConverted.append(input + QStringLiteral(": ") + reason);
}

// Two inputs of one batch that give the same output (a.mpg and a.mpeg, clip.mpg and
// clip.MPG) must not overwrite each other: the later one is left out. Names are compared
// regardless of letter case, as the drives the program writes to may ignore it.
bool Form1::claimOutputName(const QString &input, const QString &output)
{
    const QString key = joinPath(File2->Path(), output).toCaseFolded();
    const QString earlier = m_outputsOfBatch.value(key);
    if (!earlier.isEmpty()) {
        m_notConverted.append(QStringLiteral("%1: its output %2 is already the output of %3")
                                      .arg(input, output, earlier));
        return false;
    }
    m_outputsOfBatch.insert(key, input);
    return true;
}

// Sleeps in a nested event loop until the stopped state arrives: the timer's ticks, the
// encoder's events and clicks on the enabled controls run meanwhile, and the wait itself
// costs no processor time, which the encoder needs.
void Form1::waitForStopped()
{
    if (EncoderStopped)
        return;
    QEventLoop wait;
    m_wait = &wait;
    wait.exec();
    m_wait = nullptr;
    // Only the stopped state and the window's closing end the wait on purpose; anything
    // else ending it is the program quitting, which starts no further file either.
    if (!EncoderStopped)
        m_batchClosing = true;
}

void Form1::Encoder_OnStateChange(qint32 EnumState)
{
    if (EnumState != EncoderStateCode::EncoderStopped)
        return;
    EncoderStopped = true;
    if (m_wait)
        m_wait->quit();
}

void Form1::showReadyBetweenFiles()
{
    Label1->clear();
    Label2->clear();
    Label3->clear();
    Label7->clear();
    Label5->hide();
    Label6->show();
    Label6->setText(QStringLiteral("Status: ready"));
    ProgressBar1->setValue(0);
    Line1->hide();
    Line2->hide();
}

void Form1::addRemark(const QString &input, const QString &remark)
{
    m_remarks.append(input + QStringLiteral(": ") + remark);
}

void Form1::reportEndOfBatch()
{
    const QString text = endOfBatchText(m_notConverted, m_remarks);
    if (!text.isEmpty())
        msgBox(text);
}

// The window closes during a batch: the current file is stopped and finished properly
// (its partial output plays), a copy to the card is abandoned, and the batch starts no
// further file.
void Form1::endBatchForClose()
{
    if (!m_batchRunning)
        return;
    m_batchClosing = true;
    Timer1->stop();
    if (m_cardCopy)
        m_cardCopy->cancel(); // the copy's wait ends once its temporary is gone
    if (!m_wait) {
        // Not waiting for an encode: a set-up's reading of the input's duration, which waits
        // in its own loop, ends with the stop (an idle encoder ignores it); the batch ends
        // after its current step.
        stepOver([this] { encoderInUse().stop(); });
        return;
    }
    if (!EncoderStopped && stepOver([this] { encoderInUse().stop(); }))
        finishPartialFileBeforeClose();
    m_wait->quit();
}

void Form1::finishPartialFileBeforeClose()
{
    QEventLoop finishing;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &finishing, &QEventLoop::quit);
    const auto stopped = connect(
            Encoder.get(), &MediaEncoder::stateChanged, &finishing, [&finishing](qint32 state) {
                if (state == EncoderStateCode::EncoderStopped)
                    finishing.quit();
            });
    bound.start(closingStopBoundMs);
    finishing.exec();
    disconnect(stopped);
}
