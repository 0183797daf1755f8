#include "batch/job_setup.h"

#include "common/error.h"
#include "common/rounding.h"
#include "common/step_over.h"
#include "common/texts.h"
#include "platform/win_paths.h"
#include "widgets/file_list_box.h"

#include <QLabel>

JobSetup::JobSetup(ProgramValues &values, JobWidgets widgets, const qint16 &PreprocessPasses)
    : m_values(values)
    , m_widgets(widgets)
    , m_passes(PreprocessPasses)
{}

JobSetup::~JobSetup() = default;

void JobSetup::load(std::unique_ptr<MediaEncoder> encoder)
{
    Encoder = std::move(encoder);
    SourceGroups = &Encoder->sourceGroupCollection();
    SourceGroup = &SourceGroups->add(QStringLiteral("SG_1"));
    VideoSource = &SourceGroup->addSource(SourceVideo);
    AudioSource = &SourceGroup->addSource(SourceAudio);
}

MediaEncoder &JobSetup::encoderInUse() const
{
    if (!Encoder || !VideoSource || !AudioSource)
        throw Error(QStringLiteral("The encoder is not available: it could not be set up when "
                                   "Clipferry started. Install the encoder engine and start "
                                   "Clipferry again."));
    return *Encoder;
}

QStringList JobSetup::filesOf() const
{
    return {m_widgets.File1->Path(),
            m_values.InputFile,
            m_widgets.File2->Path(),
            m_values.OutputFile};
}

const JobFiles &JobSetup::buildFiles()
{
    m_filesOf = filesOf();
    m_files = JobFiles();
    m_files.input = joinPath(m_filesOf[0], m_filesOf[1]);
    m_files.output = joinPath(m_filesOf[2], m_filesOf[3]);
    // A path that leads to no drive has no native form; the encoder says why it cannot open it.
    stepOver([this] { m_files.inputNative = toNativePath(m_files.input); });
    try {
        m_files.outputNative = toNativePath(m_files.output);
    } catch (const Error &e) {
        m_files.outputNotNative = e.description();
    }
    return m_files;
}

void JobSetup::SetupJob()
{
    MediaEncoder &encoder = encoderInUse();
    // The files built for this job, or built now for a job set up on its own; a later job
    // builds its own, as the drives may have changed meanwhile.
    if (m_filesOf != filesOf())
        buildFiles();
    m_filesOf.clear();
    const JobFiles &job = m_files;
    VideoSource->setInput(job.input, QString(), QString());
    AudioSource->setInput(job.input, QString(), QString());
    VideoSource->setNativeInput(job.inputNative);
    AudioSource->setNativeInput(job.inputNative);
    m_widgets.Label7->setText(QStringLiteral("File: ") + m_values.OutputFile);
    AudioSource->setPreprocessPass(m_passes);
    encoder.file().setLocalFileName(job.output, job.outputNative);
    encoder.prepareToEncode(true);
    DurationSec = static_cast<qint32>(roundHalfEven(AudioSource->duration() / 1000.0));
}
