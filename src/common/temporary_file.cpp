#include "common/temporary_file.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char prefix[] = ".clipferry-";
constexpr int randomLength = 8;
constexpr int creationAttempts = 100;

bool isLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Renames without replacing; file systems without the flag get a hard link, which fails on a
// taken name just the same.
int renameKeepingExisting(int folder, const char *from, const char *to)
{
    if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::linkat(folder, from, folder, to, 0) != 0)
        return errno;
    ::unlinkat(folder, from, 0);
    return 0;
}

} // namespace

QByteArray newTemporaryName(const char *suffix)
{
    static constexpr char alphabet[]
            = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name(prefix);
    for (int i = 0; i < randomLength; ++i)
        name += alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)];
    return name + suffix;
}

bool isTemporaryName(const QByteArray &name)
{
    const qsizetype prefixLength = qsizetype(sizeof prefix) - 1;
    if (!name.startsWith(prefix))
        return false;
    const QByteArray rest = name.mid(prefixLength + randomLength);
    if (rest != temporarySuffix && rest != partialSuffix)
        return false;
    const QByteArray random = name.mid(prefixLength, randomLength);
    return random.size() == randomLength
           && std::all_of(random.begin(), random.end(), isLetterOrDigit);
}

FolderHandle::FolderHandle(const QString &nativeFolder)
    : FolderHandle(QFile::encodeName(nativeFolder))
{}

FolderHandle::FolderHandle(const QByteArray &nativeFolder)
    : m_fd(::open(nativeFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{}

TemporaryFile::TemporaryFile(const FolderHandle &folder)
    : m_folder(folder.fd())
{
    for (int attempt = 0; attempt < creationAttempts; ++attempt) {
        m_name = newTemporaryName(temporarySuffix);
        m_fd.reset(::openat(
                m_folder, m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (m_fd.isOpen() || errno != EEXIST)
            return;
    }
}

TemporaryFile::~TemporaryFile()
{
    m_fd.reset();
    if (!m_name.isEmpty() && !m_placed)
        ::unlinkat(m_folder, m_name.constData(), 0);
}

int TemporaryFile::place(const QByteArray &finalName, Placement placement)
{
    int failure = 0;
    if (placement == Placement::Replace)
        failure = ::renameat(m_folder, m_name.constData(), m_folder, finalName.constData()) == 0
                          ? 0
                          : errno;
    else
        failure = renameKeepingExisting(m_folder, m_name.constData(), finalName.constData());
    m_placed = failure == 0;
    return failure;
}

void removeLeftTemporaries(const FolderHandle &folder)
{
    // The listing needs a descriptor of its own: closedir() closes it.
    const int listed = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0)
        return;
    DIR *dir = ::fdopendir(listed);
    if (!dir) {
        ::close(listed);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        if (isTemporaryName(QByteArray(entry->d_name)))
            ::unlinkat(folder.fd(), entry->d_name, 0);
    }
    ::closedir(dir);
}
