#include "engine/output_sink.h"

#include "common/write_all.h"
#include "engine/engine_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace engine {

namespace {
constexpr int IoBufferSize = 64 * 1024;

std::string systemText(int error)
{
    return std::strerror(error);
}
} // namespace

// A file with no write permission for anyone counts as read-only for root as well, as a
// read-only file does for an administrator on Windows.
void checkReplaceable(const std::string &path)
{
    struct stat facts = {};
    if (::stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return;
    const bool anyWrite = (facts.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    if (!anyWrite || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        throw EngineError(FailureSubject::WriteOutput, "the file exists and is read-only.");
}

OutputSink::OutputSink(std::string temporary, std::string final)
    : m_temporary(std::move(temporary))
    , m_final(std::move(final))
{
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0)
        throw EngineError(FailureSubject::WriteOutput, systemText(errno));
    AvMemoryPtr<uint8_t> buffer(static_cast<uint8_t *>(av_malloc(IoBufferSize)));
    if (!buffer)
        throw std::bad_alloc();
    m_io.reset(avio_alloc_context(buffer.get(),
                                  IoBufferSize,
                                  1,
                                  this,
                                  nullptr,
                                  &OutputSink::writePacket,
                                  &OutputSink::seek));
    if (!m_io)
        throw std::bad_alloc();
    static_cast<void>(buffer.release()); // the context owns it now
    m_io->seekable = AVIO_SEEKABLE_NORMAL;
}

OutputSink::~OutputSink()
{
    m_io.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(m_temporary.c_str());
}

int OutputSink::writePacket(void *opaque, uint8_t *data, int size)
{
    return static_cast<OutputSink *>(opaque)->writeAll(data, size);
}

int OutputSink::writeAll(const uint8_t *data, int size)
{
    if (const int failure = ::writeAll(m_fd, reinterpret_cast<const char *>(data), size))
        return AVERROR(failure);
    m_position += size;
    m_size = std::max(m_size, m_position);
    return size;
}

std::int64_t OutputSink::seek(void *opaque, std::int64_t offset, int whence)
{
    auto *sink = static_cast<OutputSink *>(opaque);
    if (whence == AVSEEK_SIZE)
        return sink->m_size;
    const off_t to = ::lseek(sink->m_fd, offset, whence & ~AVSEEK_FORCE);
    if (to < 0)
        return AVERROR(errno);
    sink->m_position = to;
    return to;
}

void OutputSink::closeFile()
{
    avio_flush(m_io.get());
    if (m_io->error < 0)
        throw EngineError(FailureSubject::WriteOutput, avErrorText(m_io->error));
    const int fd = m_fd;
    m_fd = -1;
    // Delayed write errors (a full network share, quota) show up at the latest here.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        const int error = errno;
        ::close(fd);
        throw EngineError(FailureSubject::WriteOutput, systemText(error));
    }
    if (::close(fd) != 0)
        throw EngineError(FailureSubject::WriteOutput, systemText(errno));
}

void OutputSink::commit()
{
    closeFile();
    checkReplaceable(m_final);
    if (std::rename(m_temporary.c_str(), m_final.c_str()) != 0)
        throw EngineError(FailureSubject::WriteOutput, systemText(errno));
    m_committed = true;
}

} // namespace engine
