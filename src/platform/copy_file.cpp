#include "platform/copy_file.h"

#include "common/error.h"
#include "common/temporary_file.h"
#include "common/unique_fd.h"
#include "platform/file_system.h"
#include "platform/machine.h"
#include "platform/native_names.h"
#include "platform/win_paths.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t chunkBytes = 1 << 20;

} // namespace

FolderCopy::FolderCopy(QString nativeSource, QString nativeFolder, QString name)
    : m_source(std::move(nativeSource))
    , m_folder(std::move(nativeFolder))
    , m_name(std::move(name))
{}

FolderCopy::Outcome FolderCopy::fail(int error, bool reading)
{
    m_error = error;
    m_failedReading = reading;
    return Outcome::Failed;
}

FolderCopy::Outcome FolderCopy::run()
{
    m_outcome = copy();
    return m_outcome;
}

// Copied when every byte of the source is written; a cancel is seen between chunks.
FolderCopy::Outcome FolderCopy::copyBytes(int from, int to)
{
    std::vector<char> buffer(chunkBytes);
    for (;;) {
        if (m_cancelled)
            return Outcome::Cancelled;
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(errno, true);
        if (got == 0)
            return Outcome::Copied;
        if (const int failure = writeAll(to, buffer.data(), got))
            return fail(failure, false);
    }
}

FolderCopy::Outcome FolderCopy::copy()
{
    const FolderHandle folder(toNativeBytes(m_folder));
    if (!folder.isOpen())
        return fail(errno, false);
    if (m_removeLeftovers)
        removeLeftTemporaries(folder);

    const UniqueFd in(::open(toNativeBytes(m_source).constData(), O_RDONLY | O_CLOEXEC));
    if (!in.isOpen())
        return fail(errno, true);
    TemporaryFile temporary(folder);
    if (!temporary.created())
        return fail(errno, false);
    const Outcome copied = copyBytes(in.get(), temporary.fd());
    if (copied != Outcome::Copied)
        return copied;
    if (::fsync(temporary.fd()) != 0 || temporary.close() != 0)
        return fail(errno, false);
    if (m_cancelled)
        return Outcome::Cancelled;
    const int failure = temporary.place(
            toNativeBytes(m_name), m_keepExisting ? Placement::KeepExisting : Placement::Replace);
    if (failure != 0)
        return fail(failure, false);
    // The new name must reach the medium too; the file itself already has.
    ::fsync(folder.fd());
    return Outcome::Copied;
}

void FileSystemObject::CopyFile(const QString &source, const QString &destination) const
{
    QString target = destination;
    if (target.endsWith(QLatin1Char('\\'))) {
        const qsizetype slash = source.lastIndexOf(QLatin1Char('\\'));
        target += source.mid(slash + 1);
    }
    const auto fail = [&](int errnoValue) {
        return Error(QStringLiteral("Cannot copy %1 to %2: %3")
                             .arg(source, target, systemReason(errnoValue)));
    };

    const QString nativeSource = toNativePath(m_machine, source);
    const QFileInfo nativeTarget(toNativePath(m_machine, target));
    if (nativeKindOf(nativeTarget.filePath()) == NativeKind::Folder)
        throw fail(EISDIR);
    FolderCopy copy(nativeSource, nativeTarget.absolutePath(), nativeTarget.fileName());
    if (copy.run() != FolderCopy::Outcome::Copied)
        throw fail(copy.error());
}
