#pragma once

#include "platform/drive_table.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The machine as the program sees it: its drives, its Windows folder, the program's own
// folder, and how programs are started. One is current for the whole program; tests make
// their own from temporary folders.
class Machine
{
public:
    // Starts a native program with its arguments and returns at once; false on failure.
    using Launcher = std::function<bool(const QString &program, const QStringList &arguments)>;

    Machine(const QString &driveCRoot, std::unique_ptr<VolumeSource> volumes);

    // The machine of an installed program: its executable lives in
    // <C: root>/Program Files/Clipferry/, the drives come from the system's mounts. A C:
    // root shared by the machine's users is not written to: the user's own C: drive, set up
    // from it, is the machine's C: (see user_drive.h). Throws Error when that cannot be set up.
    static std::shared_ptr<Machine> forExecutable(const QString &executablePath);

    static Machine &current();
    static void setCurrent(std::shared_ptr<Machine> machine);

    DriveTable &drives() { return m_drives; }
    QString driveCRoot() const { return m_driveCRoot; }

    // "C:\Windows" unless told otherwise.
    QString windowsDirectory() const { return m_windowsDirectory; }
    void setWindowsDirectory(const QString &folder) { m_windowsDirectory = folder; }

    // The folder of the program's executable in Windows form, "C:\Program Files\Clipferry".
    QString programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // The native folder of the encoder engine, ".../Windows Media Components/Encoder".
    QString encoderFolder() const;

    bool launch(const QString &program, const QStringList &arguments) const;
    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

private:
    QString m_driveCRoot;
    DriveTable m_drives;
    QString m_windowsDirectory = QStringLiteral("C:\\Windows");
    QString m_programFolder = QStringLiteral("C:\\Program Files\\Clipferry");
    Launcher m_launcher;
};
