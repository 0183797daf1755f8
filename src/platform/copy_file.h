#pragma once

#include <QString>

#include <atomic>

// One file copied into a folder: the bytes go to a temporary in that folder, are flushed to
// the disk and renamed onto the final name, so the final name never holds a partial copy.
// The folder is held open from start to end, so the temporary is removed from this very
// folder on every failure, even when the folder's path went away meanwhile (a card unmounted
// lazily). run() touches only its own members: it may run on any thread, and cancel() may be
// called from another one.
class FolderCopy
{
public:
    enum class Outcome {
        Copied,
        Cancelled,
        Failed,
    };

    FolderCopy(QString nativeSource, QString nativeFolder, QString name);

    // A file of the final name is replaced (the default), or left alone and the copy fails
    // with EEXIST.
    void keepExistingFile() { m_keepExisting = true; }
    // Removes the program's temporaries left in the folder by earlier copies first.
    void removeLeftTemporariesFirst() { m_removeLeftovers = true; }

    Outcome run();
    // What the last run() came to.
    Outcome outcome() const { return m_outcome; }
    // Asks a running copy to stop; it removes its temporary and ends as Cancelled.
    void cancel() { m_cancelled = true; }

    // After Failed: the errno of the failure, and whether reading the source failed (else
    // writing into the folder did).
    int error() const { return m_error; }
    bool failedReading() const { return m_failedReading; }

private:
    Outcome copy();
    Outcome copyBytes(int from, int to);
    Outcome fail(int error, bool reading);

    QString m_source;
    QString m_folder;
    QString m_name;
    bool m_keepExisting = false;
    bool m_removeLeftovers = false;
    std::atomic<bool> m_cancelled = false;
    Outcome m_outcome = Outcome::Cancelled; // until it has run
    int m_error = 0;
    bool m_failedReading = false;
};
