#pragma once

#include "common/unique_fd.h"
#include "common/write_all.h"

#include <QByteArray>
#include <QString>

// Every file the program writes whole (a copy, a profile) is written under a temporary name
// in the folder of the file it becomes, then renamed into place. The temporary names have
// one form, ".clipferry-XXXXXXXX.tmp" (the encoder's output uses ".part"): hidden from folder
// listings, no ending that looks like a finished file, and a length of their own, so that
// every name the file system takes can be written.

// The ending of temporary copies and of the encoder's unfinished output.
inline constexpr char temporarySuffix[] = ".tmp";
inline constexpr char partialSuffix[] = ".part";

// A new name ".clipferry-" + 8 random letters and digits + suffix.
QByteArray newTemporaryName(const char *suffix);
// True for exactly the names newTemporaryName gives, with either ending.
bool isTemporaryName(const QByteArray &name);

// A folder held open, so that files are made, renamed and removed in this very folder even
// when its path changes meanwhile (a card that is unmounted lazily while it is written).
class FolderHandle
{
public:
    explicit FolderHandle(const QString &nativeFolder);
    // The folder's path as the system's bytes.
    explicit FolderHandle(const QByteArray &nativeFolder);

    bool isOpen() const { return m_fd.isOpen(); }
    int fd() const { return m_fd.get(); }

private:
    UniqueFd m_fd;
};

// What placing a temporary does when the final name is taken.
enum class Placement { Replace, KeepExisting };

// A temporary file in an open folder, made with the permissions of a new file (the user's
// umask applies). It is closed and removed when it goes out of scope, unless it was placed
// under its final name.
class TemporaryFile
{
public:
    explicit TemporaryFile(const FolderHandle &folder);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    bool created() const { return m_fd.isOpen(); }
    int fd() const { return m_fd.get(); }
    const QByteArray &name() const { return m_name; }
    // Closes now and returns close()'s result: a deferred write error may show only here.
    int close() { return m_fd.close(); }
    // Renames the temporary onto its final name in the same folder. Returns 0 or the errno
    // of the failure: EEXIST when the name is taken and Placement::KeepExisting.
    int place(const QByteArray &finalName, Placement placement);

private:
    int m_folder;
    QByteArray m_name;
    UniqueFd m_fd;
    bool m_placed = false;
};

// Removes the temporaries that a write cut off (a card pulled mid-copy, a crash) left in a
// folder. Only names of exactly the program's own form are touched.
void removeLeftTemporaries(const FolderHandle &folder);
