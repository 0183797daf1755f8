#include "temp_machine.h"

#include "platform/win_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString idOf(QChar letter)
{
    return QStringLiteral("drive-") + letter.toUpper();
}
} // namespace

TempMachine::TempMachine()
{
    const QString c = m_c.path();
    for (const char *folder : {"Windows",
                               "Program Files/Clipferry",
                               "Program Files/Windows Media Components/Encoder/Profiles",
                               "Program Files/Internet Explorer"})
        QDir(c).mkpath(QLatin1String(folder));
    auto volumes = std::make_unique<StaticVolumes>();
    m_volumes = volumes.get();
    m_volumes->add({idOf(QLatin1Char('C')),
                    c,
                    DriveKind::Fixed,
                    QStringLiteral("Clipferry"),
                    true,
                    QLatin1Char('C'),
                    {},
                    {}});
    m_machine = std::make_shared<Machine>(c, std::move(volumes));
    m_machine->setLauncher([this](const QString &program, const QStringList &arguments) {
        m_launches.append({program, arguments});
        return true;
    });
    Machine::setCurrent(m_machine);
}

TempMachine::~TempMachine()
{
    Machine::setCurrent(nullptr);
}

QString TempMachine::addDrive(QChar letter, DriveKind kind, const QString &label)
{
    m_others.push_back(std::make_unique<QTemporaryDir>());
    const QString root = m_others.back()->path();
    setVolume({idOf(letter), root, kind, label, true, letter.toUpper(), {}, {}});
    return root;
}

void TempMachine::addEmptySlot(QChar letter, DriveKind kind)
{
    setVolume({idOf(letter), QString(), kind, QString(), false, letter.toUpper(), {}, {}});
}

void TempMachine::setVolume(const VolumeDescription &volume)
{
    m_volumes->remove(volume.id);
    m_volumes->add(volume);
    m_machine->drives().drives(); // path translation sees the change at once
}

void TempMachine::removeVolume(const QString &id)
{
    m_volumes->remove(id);
    m_machine->drives().drives();
}

QString TempMachine::native(const QString &windowsPath)
{
    return toNativePath(*m_machine, windowsPath);
}

QString TempMachine::writeFile(const QString &windowsPath, const QByteArray &content)
{
    const QString path = native(windowsPath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

QString TempMachine::makeFolder(const QString &windowsPath)
{
    const QString path = native(windowsPath);
    QDir().mkpath(path);
    return path;
}
