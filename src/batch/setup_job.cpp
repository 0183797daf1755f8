#include "batch/setup_job.h"

#include "app/form1.h"
#include "common/error.h"
#include "common/rounding.h"
#include "common/texts.h"
#include "widgets/dialogs.h"
#include "widgets/file_list_box.h"

#include <QLabel>

MediaEncoder &encoderInUse(const Form1 &window)
{
    if (!window.Encoder || !window.VideoSource || !window.AudioSource)
        throw Error(QStringLiteral("The encoder is not available: it could not be set up when "
                                   "Clipferry started. Install the encoder engine and start "
                                   "Clipferry again."));
    return *window.Encoder;
}

void setUpJob(Form1 &window, const QString &input, const QString &output)
{
    MediaEncoder &encoder = encoderInUse(window);
    const QString inputPath = joinPath(window.File1->Path(), input);
    window.VideoSource->setInput(inputPath, QString(), QString());
    window.AudioSource->setInput(inputPath, QString(), QString());
    window.Label7->setText(QStringLiteral("File: ") + output);
    window.AudioSource->setPreprocessPass(window.PreprocessPasses);
    encoder.file().setLocalFileName(joinPath(window.File2->Path(), output));
    encoder.prepareToEncode(true);
    window.DurationSec
            = static_cast<qint32>(roundHalfEven(window.AudioSource->duration() / 1000.0));
}

// In a batch the set-up's failure is kept for the batch, which names the file in its end box
// and goes on with the next one; here it is shown at once.
void Form1::SetupJob()
{
    try {
        setUpJob(*this, m_values.InputFile, m_values.OutputFile);
    } catch (const Error &e) {
        msgBox(e.description());
    }
}
