#include "app/form1.h"

#include "app/engine_paths.h"
#include "app/get_win_dir.h"
#include "common/error.h"
#include "common/texts.h"
#include "platform/machine.h"
#include "platform/shell.h"
#include "widgets/dialogs.h"

#include <QComboBox>
#include <QTimer>

namespace {

const QString defaultProfile = QStringLiteral("Kestrel Medium");

// The Windows folders the program knows, and the drive letter each gives.
constexpr std::pair<const char *, const char *> knownWindowsFolders[] = {
        {"C:\\Windows", "C"},
        {"C:\\WINDOWS", "C"},
        {"D:\\Windows", "D"},
        {"D:\\WINDOWS", "D"},
        {"C:\\WINNT", "C"},
        {"D:\\WINNT", "D"},
};

// Listing a profile shows nothing in the text field: only choosing one does, so an
// unchosen default leaves the field empty instead of showing whichever profile came first.
void appendKeepingText(QComboBox *combo, const QString &item)
{
    const int current = combo->currentIndex();
    combo->addItem(item);
    if (combo->currentIndex() != current)
        combo->setCurrentIndex(current);
}

} // namespace

void Form1::Form_Load()
{
    // Whether the engine check below has named the missing file and offered the download;
    // the failure path's download command would only say both again.
    bool downloadOffered = false;
    try {
        FileSys = std::make_unique<FileSystemObject>(Machine::current());
        PreprocessPasses = 1;
        applyButtonColours();

        for (const auto &[folder, letter] : knownWindowsFolders) {
            if (GetWinDir() == QLatin1String(folder))
                m_values.WinDrive = QLatin1String(letter);
        }

        const QString engine = engineModulePath(m_values.WinDrive);
        if (!FileSys->FileExists(engine)) {
            const QString question = joinCrLf({QStringLiteral("File not found: "),
                                               engine,
                                               engineRequiredText(),
                                               QString(),
                                               downloadQuestion()});
            downloadOffered = true;
            if (askYesNo(question))
                Shell(downloadCommandLine(), vbNormalFocus);
        }

        Timer1->stop();
        m_job->load(m_createEncoder());
        connect(m_job->Encoder.get(),
                &MediaEncoder::stateChanged,
                this,
                &Form1::Encoder_OnStateChange);

        Profiles = &m_job->Encoder->profileCollection();
        for (LoopIndex = 0; LoopIndex < Profiles->count(); ++LoopIndex) {
            Profile = &Profiles->item(LoopIndex);
            appendKeepingText(Combo1, Profile->name());
        }

        for (LoopIndex = 0; LoopIndex < Profiles->count(); ++LoopIndex) {
            Profile = &Profiles->item(LoopIndex);
            if (Profile->name() == defaultProfile) {
                m_job->SourceGroup->setProfile(*Profile);
                Combo1->setCurrentIndex(LoopIndex);
                break;
            }
        }

        if (Combo1->currentText() != defaultProfile)
            msgBox(joinCrLf(
                    {QStringLiteral("Click Settings / Check Profile Setup"),
                     QStringLiteral(
                             "to copy Pocket PC profiles to Windows Media Encoder directory.")}));
    } catch (const Error &e) {
        msgBox(e.description());
        if (!downloadOffered)
            mnuDownload_Click();
    }
}

void Form1::Form_Unload()
{
    FileSys.reset();
}
