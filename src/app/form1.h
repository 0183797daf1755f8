#pragma once

#include "app/job_setup.h"
#include "common/program_values.h"
#include "encoder/encoder.h"
#include "platform/file_system.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class BatchRun;
class ClickableLabel;
class FileListBox;
class Form9;
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

// The main window. The window's state lives here; a running batch's state lives in the
// batch's own object (batch/), which the window only asks. Controls, handlers and window-level
// variables keep the names the program's design gives them (each widget's objectName is its
// member's name). The handlers are declared here and defined with their areas:
//   app/      the window itself, start-up and unload, the download command
//   batch/    job set-up, batch run, progress monitor, stop and reset
//   sources/  folders (with the access to the folder browser Form9), file selection,
//             profiles, storage cards, pass options, help texts
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    using EncoderFactory = std::function<std::unique_ptr<MediaEncoder>()>;

    // Builds the window and runs Form_Load, as loading a window does.
    Form1(ProgramValues &values, EncoderFactory createEncoder, QWidget *parent = nullptr);
    ~Form1() override;

    ProgramValues &values() { return m_values; }
    // The encoder and its set-up for each file.
    JobSetup &jobSetup() { return *m_job; }
    const JobSetup &jobSetup() const { return *m_job; }

    // The folder browser, loaded on first use (its load builds the tree and places it).
    Form9 &folderBrowser();
    bool folderBrowserLoaded() const;

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
    std::unique_ptr<FileSystemObject> FileSys;
    qint16 PreprocessPasses = 0;
    ProfileCollection *Profiles = nullptr;
    const EncoderProfile *Profile = nullptr;
    qint16 LoopIndex = 0;
    QString StorageDrive;
    std::optional<DriveObject> CurrentDrive;
    bool CardFound = false;
    QString CardDrive;
    int ProbeDriveType = 0;

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

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void applyButtonColours();
    void applyTabOrder();
    void addKeys();
    void keepLaidOutSize();
    void connectHandlers();

    ProgramValues &m_values;
    EncoderFactory m_createEncoder;
    QPointer<Form9> m_form9;
    std::unique_ptr<JobSetup> m_job;

    // ---- app state ----
    QSize m_laidOutSize;  // the client area as laid out, with the menu bar
    bool m_shown = false; // centred once, when first shown

    // ---- batch ----
    // Run when the window closes: a running batch stops its encode (or the set-up's reading
    // of the input, or its copy to the card), lets the partial file be finished, and leaves
    // its wait so the program can quit cleanly.
    void endBatchForClose();
    bool batchRunning() const;

    QPointer<BatchRun> m_batch; // the batch cmdStart_Click runs, while it runs (none: idle)

    // ---- sources state ----
    // Shows in Combo1 the profile the next file is encoded with (none: an empty box).
    void showProfileInUse();
    // Finds the drive of SelectedFolder (kept in CurrentDrive); true for a CD-ROM drive.
    bool selectedFolderIsOnCdRom();
    // Gives an output list without a folder the input list's folder, then writes Text4.
    void writeFolderSummary();
    // Makes SelectedFolder the input folder, as the input button does with the browser's
    // choice. Throws Error when the folder cannot be listed or its drive cannot be read.
    void takeSelectedFolderAsInput();

    // ---- files from the desktop: program arguments, drops ----
public:
    // Opens files, or one folder, given as native paths the way a user would: their folder
    // becomes the input folder and the files are clicked in File1 (the first plainly, the
    // others with Ctrl). A message names what could not be opened, and why.
    void openFiles(const QStringList &nativePaths);
    // False while the window cannot take files: a batch runs, or File1 waits for a reset.
    bool canOpenFiles() const;
    // Opens files, or a folder, that a later start of the program handed to this window, as
    // openFiles does, once no message or folder browser waits for an answer. While the window
    // cannot take files, a message names them and says why.
    void openHandedFiles(const QStringList &nativePaths);
    // Lets the window take files and folders dropped from the file manager.
    void acceptFileDrops();

private:
    void clickOpenedFiles(const QStringList &names, QStringList &notOpened);
};
