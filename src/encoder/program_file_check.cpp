#include "encoder/program_file_check.h"

#include "common/unique_fd.h"
#include "platform/native_names.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool readAt(int fd, void *into, quint64 bytes, quint64 offset)
{
    return ::pread(fd, into, bytes, static_cast<off_t>(offset)) == static_cast<ssize_t>(bytes);
}

// How far into the file the headers and the segments they name reach; 0 when the file is no
// 64-bit ELF file, or its program headers cannot be read.
quint64 neededLength(int fd, quint64 size)
{
    Elf64_Ehdr header;
    if (size < sizeof header || !readAt(fd, &header, sizeof header, 0)
        || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0
        || header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_phentsize != sizeof(Elf64_Phdr))
        return 0;
    const quint64 programHeadersEnd = header.e_phoff + quint64(header.e_phnum) * sizeof(Elf64_Phdr);
    const quint64 sectionHeadersEnd
            = header.e_shoff + quint64(std::max<quint16>(header.e_shnum, 1)) * header.e_shentsize;
    quint64 needed = std::max(programHeadersEnd, header.e_shoff ? sectionHeadersEnd : 0);
    if (programHeadersEnd > size)
        return needed;
    std::vector<Elf64_Phdr> segments(header.e_phnum);
    if (!readAt(fd, segments.data(), segments.size() * sizeof(Elf64_Phdr), header.e_phoff))
        return 0;
    for (const Elf64_Phdr &segment : segments)
        needed = std::max<quint64>(needed, segment.p_offset + segment.p_filesz);
    return needed;
}

} // namespace

QString programFileDamage(const QString &nativePath)
{
    const UniqueFd fd(::open(toNativeBytes(nativePath).constData(), O_RDONLY | O_CLOEXEC));
    struct stat info = {};
    if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {}; // missing or unreadable: the caller's own checks say so
    const auto size = static_cast<quint64>(info.st_size);
    const quint64 needed = neededLength(fd.get(), size);
    if (needed <= size)
        return {};
    return QStringLiteral("the file ends after %1 bytes, but its contents need %2")
            .arg(size)
            .arg(needed);
}
