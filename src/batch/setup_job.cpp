#include "app/form1.h"

#include "common/error.h"
#include "common/rounding.h"
#include "common/texts.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"

#include <QLabel>

MediaEncoder &Form1::encoderInUse() const
{
    // Without an engine at start-up there is no encoder, and every job must say so.
    if (!Encoder || !VideoSource || !AudioSource)
        throw Error(QStringLiteral("The encoder is not available: it could not be set up when "
                                   "Clipferry started. Install the encoder engine and start "
                                   "Clipferry again."));
    return *Encoder;
}

// A failing step ends the set-up; DurationSec keeps the last file's value. In a batch the
// failure is kept for the batch, which names the file in its end box and goes on with the
// next one without starting the encoder; outside a batch it is shown at once.
void Form1::SetupJob()
{
    m_setupFailure.clear();
    try {
        MediaEncoder &encoder = encoderInUse();
        const QString input = joinPath(File1->Path(), m_values.InputFile);
        VideoSource->setInput(input, QString(), QString());
        AudioSource->setInput(input, QString(), QString());
        Label7->setText(QStringLiteral("File: ") + m_values.OutputFile);
        AudioSource->setPreprocessPass(PreprocessPasses);
        encoder.file().setLocalFileName(joinPath(File2->Path(), m_values.OutputFile));
        encoder.prepareToEncode(true);
        DurationSec = static_cast<qint32>(roundHalfEven(AudioSource->duration() / 1000.0));
    } catch (const Error &e) {
        if (m_batchRunning)
            m_setupFailure = e.description();
        else
            msgBox(e.description());
    }
}
