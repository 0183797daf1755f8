#pragma once

#include <QProcess>
#include <QString>

// A file system that does not answer (tests/support/hung_mount.py), mounted on an empty
// folder with FUSE for as long as the object lives: every call on it waits until
// `hangSeconds` after the mount, as on a network share whose server is gone. Gone on every
// path: the destructor kills the file system and lets go of the mount without asking it.
class HungMount
{
public:
    HungMount(const QString &mountPoint, int hangSeconds);
    ~HungMount();
    HungMount(const HungMount &) = delete;
    HungMount &operator=(const HungMount &) = delete;

    // Why no mount could be made here (no /dev/fuse, no python3-fuse, no right to mount);
    // empty once mounted.
    QString unavailable() const { return m_unavailable; }

private:
    bool mounted() const;

    QString m_mountPoint;
    QProcess m_fileSystem;
    QString m_unavailable;
};
