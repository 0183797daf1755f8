#include "batch/batch_run.h"

#include "batch/batch_report.h"
#include "batch/failed_output.h"
#include "batch/job_setup.h"
#include "batch/output_name.h"
#include "common/error.h"
#include "common/step_over.h"
#include "common/texts.h"
#include "encoder/encoder.h"
#include "platform/copy_file.h"
#include "platform/native_names.h"
#include "platform/win_paths.h"
#include "widgets/file_list_box.h"

#include <QEventLoop>
#include <QTimer>

namespace {

// How long a closing window gives the encoder to finish the partial file after its stop.
constexpr int closingStopBoundMs = 15000;

// The list shows regular files only, but an entry may have become a pipe, a socket or a
// device since it was listed; reading one would wait for a writer that never comes. Empty
// when the entry is (still) a file, or gone, which the encoder then reports.
QString notAFileToConvert(const JobFiles &files)
{
    // A path without a native form is one the encoder cannot open either: it says why.
    if (files.inputNative.isEmpty() || nativeKindOf(files.inputNative) != NativeKind::Other)
        return {};
    return QStringLiteral("Cannot open the input %1: it is not a regular file").arg(files.input);
}

// What a stop left, for the end of the batch: the user should know whether a file under the
// output's name is theirs from before or a part of this one.
QString stoppedBeforeOutput(const QString &outputPath, bool earlierFile)
{
    const QString left
            = earlierFile
                      ? QStringLiteral("the earlier %1 stays as it was").arg(nameInPath(outputPath))
                      : QStringLiteral("nothing was written");
    return QStringLiteral("stopped by the user before converting; ") + left;
}

QString stoppedWithPart(const QString &outputPath)
{
    return QStringLiteral("stopped by the user; %1 holds the part converted so far")
            .arg(nameInPath(outputPath));
}

} // namespace

BatchRun::BatchRun(BatchSources sources, QObject *parent)
    : QObject(parent)
    , m_sources(std::move(sources))
{}

BatchRun::~BatchRun() = default;

QString BatchRun::run()
{
    m_filesOfBatch = m_sources.inputs.SelectedCount();
    try {
        const int count = m_sources.inputs.ListCount();
        for (int index = 0; index < count && !m_closing; ++index) {
            if (m_sources.inputs.Selected(index))
                encodeEntry(index);
        }
        return {};
    } catch (const Error &e) {
        return e.description();
    }
}

// One selected entry: set up, encoded, copied to the card.
void BatchRun::encodeEntry(int index)
{
    const QString input = m_sources.inputs.List(index);
    const std::optional<QString> output = outputNameFor(input);
    if (!output) {
        m_notConverted.append(input + QStringLiteral(": not an MPEG or Video CD file"));
        return;
    }
    // The program-wide names of the file being encoded, for whoever asks, and the paths of
    // this file; later changes of the folders are for the files after it.
    m_sources.values.InputFile = input;
    m_sources.values.OutputFile = *output;
    const JobFiles files = m_sources.job.buildFiles();
    if (!claimOutputName(input, *output, files) || !setUpEntry(input, files))
        return;

    MediaEncoder &encoder = m_sources.job.encoderInUse();
    const OutputStamp before = stampOf(files.outputNative);
    encoder.start();
    emit encodeStarted();
    waitForStopped();
    m_encoderStopped = false;
    emit readyForNextFile();
    finishEntry(input, files, before);
}

// Shows the entry as starting and sets the encoder up for it. A file that cannot be set up
// (empty, no video, unreadable, gone) is named at the end of the batch and the window shows
// "ready" again; false then, and when the window closes meanwhile.
bool BatchRun::setUpEntry(const QString &input, const JobFiles &files)
{
    // Without an encoder no file can be done: that ends the batch at once.
    m_sources.job.encoderInUse();
    if (const QString reason = notAFileToConvert(files); !reason.isEmpty()) {
        m_notConverted.append(input + QStringLiteral(": ") + reason);
        return false;
    }
    emit fileStarting();
    QString failure;
    try {
        m_sources.job.SetupJob();
    } catch (const Error &e) {
        failure = e.description();
    }
    if (m_closing)
        return false;
    if (failure.isEmpty())
        return true;
    if (m_sources.job.encoderInUse().lastStop() == MediaEncoder::StopOutcome::BeforeOutput)
        failure = stoppedBeforeOutput(files.output, stampOf(files.outputNative).exists);
    m_notConverted.append(input + QStringLiteral(": ") + failure);
    emit readyForNextFile();
    return false;
}

// A file that ended well, or was stopped with the part converted so far, counts as finished and
// goes to the card; what is worth a remark about it (the stop too) is told at the end of the
// batch. One that failed inside the engine, or was stopped before anything was written,
// leaves nothing behind and is named at the end among the files not converted.
void BatchRun::finishEntry(const QString &input, const JobFiles &files, const OutputStamp &before)
{
    const QString &outputPath = files.output;
    const MediaEncoder &encoder = m_sources.job.encoderInUse();
    const QString failure = encoder.lastFailure();
    if (failure.isEmpty()) {
        ++m_filesConverted;
        if (encoder.lastStop() == MediaEncoder::StopOutcome::PartKept)
            addRemark(input, stoppedWithPart(outputPath));
        if (const QString notice = encoder.lastNotice(); !notice.isEmpty())
            addRemark(input, notice);
        if (!m_closing)
            copyToStorageCard(input, files);
        return;
    }
    QString reason = encoder.lastStop() == MediaEncoder::StopOutcome::BeforeOutput
                             ? stoppedBeforeOutput(outputPath, before.exists)
                             : failure;
    try {
        removeFailedOutput(outputPath, files.outputNative, before);
    } catch (const Error &e) {
        reason += QLatin1Char(' ') + e.description();
    }
    m_notConverted.append(input + QStringLiteral(": ") + reason);
}

// Two inputs of one batch that give the same output (a.mpg and a.mpeg, clip.mpg and
// clip.MPG) must not overwrite each other: the later one is left out. Names are compared
// regardless of letter case, as the drives the program writes to may ignore it.
bool BatchRun::claimOutputName(const QString &input, const QString &output, const JobFiles &files)
{
    const QString key = files.output.toCaseFolded();
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
void BatchRun::waitForStopped()
{
    if (m_encoderStopped)
        return;
    QEventLoop wait;
    m_wait = &wait;
    wait.exec();
    m_wait = nullptr;
    // Only the stopped state and the window's closing end the wait on purpose; anything
    // else ending it is the program quitting, which starts no further file either.
    if (!m_encoderStopped)
        m_closing = true;
}

void BatchRun::encoderStopped()
{
    m_encoderStopped = true;
    if (m_wait)
        m_wait->quit();
}

void BatchRun::addRemark(const QString &input, const QString &remark)
{
    m_remarks.append(input + QStringLiteral(": ") + remark);
}

QString BatchRun::endOfBatchText() const
{
    return ::endOfBatchText(m_notConverted, m_remarks);
}

void BatchRun::endForClose()
{
    m_closing = true;
    if (m_cardCopy)
        m_cardCopy->cancel(); // the copy's wait ends once its temporary is gone
    if (!m_wait) {
        // Not waiting for an encode: a set-up's reading of the input's duration, which waits
        // in its own loop, ends with the stop (an idle encoder ignores it); the batch ends
        // after its current step.
        stepOver([this] { m_sources.job.encoderInUse().stop(); });
        return;
    }
    if (!m_encoderStopped && stepOver([this] { m_sources.job.encoderInUse().stop(); }))
        finishPartialFileBeforeClose();
    m_wait->quit();
}

void BatchRun::finishPartialFileBeforeClose()
{
    QEventLoop finishing;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &finishing, &QEventLoop::quit);
    const auto stopped = connect(&m_sources.job.encoderInUse(),
                                 &MediaEncoder::stateChanged,
                                 &finishing,
                                 [&finishing](qint32 state) {
                                     if (state == EncoderStateCode::EncoderStopped)
                                         finishing.quit();
                                 });
    bound.start(closingStopBoundMs);
    finishing.exec();
    disconnect(stopped);
}
