#pragma once

#include "batch/batch_commands.h"
#include "batch/job_setup.h"
#include "batch/progress_view.h"
#include "common/program_values.h"
#include "encoder/encoder.h"
#include "platform/file_system.h"
#include "sources/file_selection.h"
#include "sources/folders.h"
#include "sources/open_files.h"
#include "sources/passes_and_help.h"
#include "sources/profiles_menu.h"
#include "sources/storage_cards.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class ClickableLabel;
class FileListBox;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class TextBox;

// The main window: its controls and menus, and its handlers, each of which hands the event
// to the area it belongs to. Controls, handlers and window-level variables keep the names the
// program's design gives them (each widget's objectName is its member's name). The areas own
// their state and are given the widgets they work on:
//   app/      the window itself, start-up and unload, the download command
//   batch/    job set-up (JobSetup), the batch's commands (BatchCommands, which runs a
//             BatchRun), the progress view and its monitor (ProgressView)
//   sources/  folders with the folder browser Form9 (Folders), file selection
//             (FileSelection), files from the desktop (OpenFiles), profiles (ProfilesMenu),
//             storage cards (StorageCards), pass options and help texts (PassesAndHelp)
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    using EncoderFactory = std::function<std::unique_ptr<MediaEncoder>()>;

    // Builds the window and runs Form_Load, as loading a window does.
    Form1(ProgramValues &values, EncoderFactory createEncoder, QWidget *parent = nullptr);
    ~Form1() override;

    ProgramValues &values() { return m_values; }

    // The areas.
    JobSetup &jobSetup() { return *m_job; }
    const JobSetup &jobSetup() const { return *m_job; }
    Folders &folders() { return *m_folders; }
    ProfilesMenu &profilesMenu() { return *m_profiles; }
    StorageCards &storageCards() { return *m_cards; }
    PassesAndHelp &passesAndHelp() { return *m_passes; }

    // ---- controls ----
    QLabel *Label10 = nullptr;
    QPushButton *cmdInput = nullptr;
    QPushButton *cmdOutput = nullptr;
    TextBox *Text4 = nullptr;
    QLabel *Label9 = nullptr;
    TextBox *Text3 = nullptr;
    QLabel *Label8 = nullptr;
    FileListBox *File1 = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *Combo1 = nullptr;
    QLabel *Label7 = nullptr;
    QRadioButton *optOnePass = nullptr;
    QLabel *Label1 = nullptr;
    ClickableLabel *lblPassInfo = nullptr;
    QLabel *Label2 = nullptr;
    QCheckBox *chkCopytoStorage = nullptr;
    QRadioButton *optTwoPass = nullptr;
    QLabel *Label3 = nullptr;
    FileListBox *File2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QFrame *Line1 = nullptr;
    QFrame *Line2 = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdStart = nullptr;
    QPushButton *cmdStop = nullptr;
    QTimer *Timer1 = nullptr;

    QMenu *mnuProfile = nullptr;
    QAction *mnuCurrentProfile = nullptr;
    QAction *mnuOpt1 = nullptr;
    QAction *mnuProfileSetup = nullptr;
    QAction *mnuOpt2 = nullptr;
    QAction *mnuProfileEditor = nullptr;
    QAction *mnuOpt3 = nullptr;
    QAction *mnuCheckStorageCards = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuInfo = nullptr;
    QAction *mnuOpt4 = nullptr;
    QAction *mnuDownload = nullptr;
    QAction *mnuOpt5 = nullptr;
    QAction *mnuAbout = nullptr;

    // ---- window-level variables ----
    // Made at load and dropped at unload; the areas that reach the file system use this one.
    std::unique_ptr<FileSystemObject> FileSys;

    // ---- handlers ----
    // app/
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void mnuDownload_Click();
    // batch/
    void SetupJob();
    void cmdStart_Click();
    void Encoder_OnStateChange(qint32 EnumState);
    void Timer1_Timer();
    void cmdStop_Click();
    void cmdReset_Click();
    // sources/
    void cmdInput_Click();
    void cmdOutput_Click();
    void File1_Click();
    void Combo1_Click();
    void mnuCurrentProfile_Click();
    void mnuProfileSetup_Click();
    void mnuProfileEditor_Click();
    void mnuCheckStorageCards_Click();
    void chkCopytoStorage_Click();
    void optOnePass_Click();
    void optTwoPass_Click();
    void lblPassInfo_Click();
    void mnuInfo_Click();
    void mnuAbout_Click();

    // Files from the desktop (see OpenFiles): program arguments, files a later start hands
    // over, and whether the window can take them now.
    void openFiles(const QStringList &nativePaths);
    bool canOpenFiles() const;
    void openHandedFiles(const QStringList &nativePaths);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void buildAreas();
    void buildMenus();
    void applyButtonColours();
    void applyTabOrder();
    void addKeys();
    void keepLaidOutSize();
    void connectHandlers();

    ProgramValues &m_values;
    EncoderFactory m_createEncoder;
    QSize m_laidOutSize;  // the client area as laid out, with the menu bar
    bool m_shown = false; // centred once, when first shown

    std::unique_ptr<PassesAndHelp> m_passes;
    std::unique_ptr<JobSetup> m_job;
    std::unique_ptr<StorageCards> m_cards;
    std::unique_ptr<ProfilesMenu> m_profiles;
    std::unique_ptr<Folders> m_folders;
    std::unique_ptr<FileSelection> m_selection;
    std::unique_ptr<OpenFiles> m_opening;
    std::unique_ptr<ProgressView> m_progress;
    std::unique_ptr<BatchCommands> m_batch;
};
