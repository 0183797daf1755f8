#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// A temporary file in the folder of the file it will become, named ".<name>.tmp-XXXXXX" so
// that folder listings leave it out and no ending makes it look like a finished file. It is
// closed and removed when it goes out of scope, unless it was renamed into place.
class TemporaryBeside
{
public:
    explicit TemporaryBeside(const QString &nativeTarget);
    ~TemporaryBeside();
    TemporaryBeside(const TemporaryBeside &) = delete;
    TemporaryBeside &operator=(const TemporaryBeside &) = delete;

    bool created() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const char *path() const { return m_path.constData(); }
    // Closes now and returns close()'s result: a deferred write error may show only here.
    int close();
    // The file was renamed onto its target: nothing to remove.
    void placed() { m_placed = true; }

private:
    static constexpr int NotCreated = -1;
    static constexpr int Closed = -2;
    QByteArray m_path;
    int m_fd = NotCreated;
    bool m_placed = false;
};

// Writes every byte, retrying after interruptions. Returns 0 or the errno of the failure; a
// write that takes nothing counts as a full disk.
int writeAll(int fd, const char *data, qint64 size);

// The permissions a new file gets from the user's umask (mkstemp's 0600 is too narrow for
// a file the user will keep).
mode_t newFilePermissions();
