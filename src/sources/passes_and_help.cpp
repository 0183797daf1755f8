#include "sources/passes_and_help.h"

#include "common/texts.h"
#include "widgets/dialogs.h"

#include <QRadioButton>

PassesAndHelp::PassesAndHelp(QRadioButton *onePass, QRadioButton *twoPass)
    : optOnePass(onePass)
    , optTwoPass(twoPass)
{}

void PassesAndHelp::load()
{
    PreprocessPasses = 1;
}

// The pass count is read afresh for every file the batch sets up, so a change here applies
// from the next file on, even in a batch that is running.
void PassesAndHelp::optOnePass_Click()
{
    if (optOnePass->isChecked()) {
        optTwoPass->setChecked(false);
        PreprocessPasses = 0;
    }
}

void PassesAndHelp::optTwoPass_Click()
{
    if (optTwoPass->isChecked()) {
        optOnePass->setChecked(false);
        PreprocessPasses = 1;
    }
}

void PassesAndHelp::lblPassInfo_Click()
{
    msgBox(joinCrLf({
            QStringLiteral("During one-pass encoding, audio content is analyzed and compressed at "
                           "the same time."),
            QString(),
            QStringLiteral("During two-pass encoding, audio content is analyzed in the first pass, "
                           "and then"),
            QStringLiteral("the best combinations of bit rate, frame rate, buffer size, and image "
                           "quality"),
            QStringLiteral("are applied during the second pass."),
            QStringLiteral("Two-pass encoding produces a better-quality result but the process "
                           "takes longer."),
            QStringLiteral(
                    "Output statistics are not displayed in the first pass of two-pass encoding."),
    }));
}

void PassesAndHelp::mnuInfo_Click()
{
    msgBox(joinCrLf({
            QStringLiteral("1. Select your VCD/MPG input directory on hard-disk."),
            QStringLiteral("     Use input button and browse to vcd or other"),
            QStringLiteral("     directory that contains the dat or mpg files."),
            QStringLiteral("     Use output button to select directory"),
            QStringLiteral("     where wmv files will be saved (optional)."),
            QString(),
            QStringLiteral("2. Select the files to encode."),
            QStringLiteral("     Hold down Ctrl-key when selecting multiple files."),
            QString(),
            QStringLiteral("3. Click Encode button."),
            QStringLiteral("     Conversion takes place with selected profile."),
            QString(),
            QStringLiteral("4. Copy wmv files to your Pocket PC."),
            QStringLiteral("     copy-feature will copy the wmv file"),
            QStringLiteral("     to storage card reader after encoding has finished."),
    }));
}

void PassesAndHelp::mnuAbout_Click()
{
    msgBox(joinCrLf({
            QStringLiteral("Clipferry"),
            QString(),
            QStringLiteral("convert your VCD's or MPG files to view on Pocket PC."),
            QStringLiteral("batch encoding: convert multiple files."),
            QStringLiteral("requirements: Windows Media Encoder 9 Series."),
    }));
}
