#include "platform/machine.h"

#include "common/encoder_folder.h"
#include "platform/user_drive.h"
#include "platform/win_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {
std::shared_ptr<Machine> &currentMachine()
{
    static std::shared_ptr<Machine> machine;
    return machine;
}
} // namespace

Machine::Machine(const QString &driveCRoot, std::unique_ptr<VolumeSource> volumes)
    : m_driveCRoot(QDir::cleanPath(driveCRoot))
    , m_drives(std::move(volumes))
    , m_launcher([](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    })
{}

std::shared_ptr<Machine> Machine::forExecutable(const QString &executablePath)
{
    // <root>/Program Files/Clipferry/clipferry
    const QString programDir = QFileInfo(executablePath).absolutePath();
    const QString installedRoot = QDir::cleanPath(programDir + QStringLiteral("/../.."));
    QString root = installedRoot;
    if (isSharedDriveC(installedRoot)) {
        root = userDriveCRoot();
        prepareUserDriveC(installedRoot, root);
    }
    auto machine = std::make_shared<Machine>(root, std::make_unique<SystemVolumes>(root));
    const QString programFolder
            = root + QLatin1Char('/') + QDir(installedRoot).relativeFilePath(programDir);
    machine->setProgramFolder(toWindowsPath(*machine, programFolder));
    return machine;
}

Machine &Machine::current()
{
    auto &machine = currentMachine();
    if (!machine)
        machine = forExecutable(QCoreApplication::applicationFilePath());
    return *machine;
}

void Machine::setCurrent(std::shared_ptr<Machine> machine)
{
    currentMachine() = std::move(machine);
}

QString Machine::encoderFolder() const
{
    return m_driveCRoot + QLatin1Char('/') + QString::fromLatin1(encoder_folder::Path);
}

bool Machine::launch(const QString &program, const QStringList &arguments) const
{
    return m_launcher(program, arguments);
}
