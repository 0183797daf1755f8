#include "platform/mount_table.h"
#include "platform/volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString readSysfs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).trimmed();
}

// /dev/sdb1 -> the sysfs folder of the block device (its partition folder when it is one).
QString sysBlockFolder(const QString &device)
{
    const QString name = QFileInfo(device).fileName();
    if (name.isEmpty())
        return {};
    const QString link = QStringLiteral("/sys/class/block/") + name;
    return QFileInfo::exists(link) ? QFileInfo(link).canonicalFilePath() : QString();
}

bool isRemovableDevice(const QString &device)
{
    const QString folder = sysBlockFolder(device);
    if (folder.isEmpty())
        return false;
    // A partition has no "removable" file of its own; its disk is the parent folder.
    if (readSysfs(folder + QStringLiteral("/removable")) == QLatin1String("1"))
        return true;
    return readSysfs(folder + QStringLiteral("/../removable")) == QLatin1String("1");
}

bool underDesktopMountPlace(const QString &root)
{
    return root.startsWith(QLatin1String("/media/"))
           || root.startsWith(QLatin1String("/run/media/"))
           || root.startsWith(QLatin1String("/mnt/"));
}

bool underMntOnly(const QString &root)
{
    return root.startsWith(QLatin1String("/mnt/"));
}

// Mounts that hold no files of a user's (an automounter's trigger, kernel interfaces).
bool isPseudoFileSystem(const QString &type)
{
    static const QStringList pseudo = {
            "autofs",     "proc",    "sysfs",   "devpts",   "devtmpfs",   "cgroup",   "cgroup2",
            "securityfs", "debugfs", "tracefs", "configfs", "fusectl",    "mqueue",   "binfmt_misc",
            "bpf",        "pstore",  "nsfs",    "efivarfs", "rpc_pipefs", "hugetlbfs"};
    return pseudo.contains(type);
}

DriveKind kindOf(const MountEntry &mount)
{
    const QString type = mount.type.toLower();
    const QString &device = mount.device;
    const QString &root = mount.mountPoint;
    if (type == QLatin1String("iso9660") || type == QLatin1String("udf")
        || QFileInfo(device).fileName().startsWith(QLatin1String("sr")))
        return DriveKind::CdRom;
    static const QStringList remote
            = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "9p"};
    if (remote.contains(type))
        return DriveKind::Remote;
    if (type == QLatin1String("tmpfs") || type == QLatin1String("ramfs"))
        return DriveKind::RamDisk;
    if (isRemovableDevice(device) || root.startsWith(QLatin1String("/media/"))
        || root.startsWith(QLatin1String("/run/media/")))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

// Card-reader found and optical drives without a medium have no mount: they show as
// drives that are not ready.
QList<VolumeDescription> emptySlots(const QList<MountEntry> &mounted)
{
    QList<VolumeDescription> found;
    const QStringList disks
            = QDir(QStringLiteral("/sys/block")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &disk : disks) {
        const QString folder = QStringLiteral("/sys/block/") + disk;
        if (readSysfs(folder + QStringLiteral("/removable")) != QLatin1String("1"))
            continue;
        if (readSysfs(folder + QStringLiteral("/size")) != QLatin1String("0"))
            continue;
        const bool isMounted
                = std::any_of(mounted.begin(), mounted.end(), [&](const MountEntry &m) {
                      return QFileInfo(m.device).fileName().startsWith(disk);
                  });
        if (isMounted)
            continue;
        VolumeDescription slot;
        slot.id = QStringLiteral("slot:") + disk;
        slot.kind = disk.startsWith(QLatin1String("sr")) ? DriveKind::CdRom : DriveKind::Removable;
        slot.ready = false;
        found.append(slot);
    }
    return found;
}

} // namespace

SystemVolumes::SystemVolumes(QString driveCRoot)
    : m_driveCRoot(std::move(driveCRoot))
{}

QList<VolumeDescription> SystemVolumes::volumes()
{
    QList<VolumeDescription> result;
    result.append({QStringLiteral("drive-c"),
                   m_driveCRoot,
                   DriveKind::Fixed,
                   QStringLiteral("Clipferry"),
                   true,
                   QLatin1Char('C'),
                   {},
                   {}});

    const QList<MountEntry> mounted = readMountTable();
    const QHash<QString, QString> labels = readVolumeLabels();
    for (const MountEntry &mount : mounted) {
        const QString &root = mount.mountPoint;
        if (!underDesktopMountPlace(root) || isPseudoFileSystem(mount.type))
            continue;
        VolumeDescription volume;
        volume.id = QStringLiteral("mount:") + root;
        volume.nativeRoot = root;
        volume.kind = kindOf(mount);
        if (mount.device.startsWith(QLatin1Char('/')))
            volume.label = labels.value(QFileInfo(mount.device).canonicalFilePath());
        // Desktops mount media under their label; where the system keeps no label index
        // (no udev), that folder name is the best label there is.
        if (volume.label.isEmpty() && !underMntOnly(root))
            volume.label = QFileInfo(root).fileName();
        // A mounted volume has its medium in; whether it answers is asked when it matters.
        volume.ready = true;
        result.append(volume);
    }
    result.append(emptySlots(mounted));

    result.append({QStringLiteral("drive-z"),
                   QStringLiteral("/"),
                   DriveKind::Fixed,
                   QStringLiteral("Root"),
                   true,
                   QLatin1Char('Z'),
                   {},
                   {}});
    return result;
}
