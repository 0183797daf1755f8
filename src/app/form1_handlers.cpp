#include "app/form1.h"

#include "batch/batch_commands.h"
#include "batch/job_setup.h"
#include "batch/progress_view.h"
#include "common/error.h"
#include "sources/file_selection.h"
#include "sources/folders.h"
#include "sources/open_files.h"
#include "sources/passes_and_help.h"
#include "sources/profiles_menu.h"
#include "sources/storage_cards.h"
#include "widgets/dialogs.h"

// Each area is given the widgets it works on, and the state of other areas it reads.
void Form1::buildAreas()
{
    m_passes = std::make_unique<PassesAndHelp>(optOnePass, optTwoPass);
    m_job = std::make_unique<JobSetup>(
            m_values, JobWidgets{File1, File2, Label7}, m_passes->PreprocessPasses);
    m_cards = std::make_unique<StorageCards>(FileSys, chkCopytoStorage);
    m_profiles = std::make_unique<ProfilesMenu>(m_values, FileSys, Combo1, *this);
    m_folders = std::make_unique<Folders>(
            m_values, FileSys, FolderWidgets{this, File1, File2, Text4});
    m_selection = std::make_unique<FileSelection>(File1, File2, Text3, Text4);
    m_progress = std::make_unique<ProgressView>(ProgressWidgets{Label1,
                                                                Label2,
                                                                Label3,
                                                                Label5,
                                                                Label6,
                                                                Label7,
                                                                ProgressBar1,
                                                                Line1,
                                                                Line2,
                                                                Timer1},
                                                *m_job);
    m_batch = std::make_unique<BatchCommands>(
            m_values,
            FileSys,
            *m_job,
            *m_progress,
            [cards = m_cards.get()] { return cards->cardForCopies(); },
            BatchWidgets{
                    this, File1, File2, Combo1, cmdStart, cmdReset, Text3, Text4, ProgressBar1});
    m_opening = std::make_unique<OpenFiles>(
            *this, m_values, *m_folders, *m_selection, File1, [batch = m_batch.get()] {
                return batch->batchRunning();
            });
}

// In a batch the set-up's failure is kept for the batch, which names the file in its end box
// and goes on with the next one; here it is shown at once.
void Form1::SetupJob()
{
    try {
        m_job->SetupJob();
    } catch (const Error &e) {
        msgBox(e.description());
    }
}

// One line per handler: the area's method of the same name does the work.
// clang-format off
// batch/
void Form1::cmdStart_Click() { m_batch->cmdStart_Click(); }
void Form1::Encoder_OnStateChange(qint32 EnumState) { m_batch->Encoder_OnStateChange(EnumState); }
void Form1::Timer1_Timer() { m_progress->Timer1_Timer(); }
void Form1::cmdStop_Click() { m_batch->cmdStop_Click(); }
void Form1::cmdReset_Click() { m_batch->cmdReset_Click(); }

// sources/
void Form1::cmdInput_Click() { m_folders->cmdInput_Click(); }
void Form1::cmdOutput_Click() { m_folders->cmdOutput_Click(); }
void Form1::File1_Click() { m_selection->File1_Click(); }
void Form1::Combo1_Click() { m_profiles->Combo1_Click(); }
void Form1::mnuCurrentProfile_Click() { m_profiles->mnuCurrentProfile_Click(); }
void Form1::mnuProfileSetup_Click() { m_profiles->mnuProfileSetup_Click(); }
void Form1::mnuProfileEditor_Click() { m_profiles->mnuProfileEditor_Click(); }
void Form1::mnuCheckStorageCards_Click() { m_cards->mnuCheckStorageCards_Click(); }
void Form1::chkCopytoStorage_Click() { m_cards->chkCopytoStorage_Click(); }
void Form1::optOnePass_Click() { m_passes->optOnePass_Click(); }
void Form1::optTwoPass_Click() { m_passes->optTwoPass_Click(); }
void Form1::lblPassInfo_Click() { m_passes->lblPassInfo_Click(); }
void Form1::mnuInfo_Click() { m_passes->mnuInfo_Click(); }
void Form1::mnuAbout_Click() { m_passes->mnuAbout_Click(); }

void Form1::openFiles(const QStringList &nativePaths) { m_opening->openFiles(nativePaths); }
bool Form1::canOpenFiles() const { return m_opening->canOpenFiles(); }
void Form1::openHandedFiles(const QStringList &nativePaths) { m_opening->openHandedFiles(nativePaths); }
// clang-format on
