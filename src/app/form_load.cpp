#include "app/form1.h"

#include "app/engine_paths.h"
#include "app/get_win_dir.h"
#include "batch/job_setup.h"
#include "common/error.h"
#include "common/texts.h"
#include "platform/machine.h"
#include "platform/shell.h"
#include "sources/passes_and_help.h"
#include "sources/profiles_menu.h"
#include "widgets/dialogs.h"

#include <QTimer>

namespace {

// The Windows folders the program knows, and the drive letter each gives.
constexpr std::pair<const char *, const char *> knownWindowsFolders[] = {
        {"C:\\Windows", "C"},
        {"C:\\WINDOWS", "C"},
        {"D:\\Windows", "D"},
        {"D:\\WINDOWS", "D"},
        {"C:\\WINNT", "C"},
        {"D:\\WINNT", "D"},
};

} // namespace

void Form1::Form_Load()
{
    // Whether the engine check below has named the missing file and offered the download;
    // the failure path's download command would only say both again.
    bool downloadOffered = false;
    try {
        FileSys = std::make_unique<FileSystemObject>(Machine::current());
        m_passes->load();
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

        m_profiles->load(m_job->Encoder->profileCollection(), *m_job->SourceGroup);
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
