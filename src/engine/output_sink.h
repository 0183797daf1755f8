#pragma once

#include "engine/av_owners.h"

#include <cstdint>
#include <string>

namespace engine {

// Fails (FailureSubject::WriteOutput) when a file of that name exists that the user may not
// change: read-only, or someone else's without write permission for the user. Renaming a
// finished file over it would succeed all the same, as only the folder's permission counts.
void checkReplaceable(const std::string &path);

// The output file as the muxer writes it: a temporary file in the output's folder, written
// through an I/O context whose every write is checked for its full byte count (a short write
// on a full disk reports no error of its own). commit() makes it the final file; until then
// the destructor removes it, so a failure never leaves a temporary behind and never touches
// an existing file of the final name.
class OutputSink
{
public:
    OutputSink(std::string temporary, std::string final);
    ~OutputSink();
    OutputSink(const OutputSink &) = delete;
    OutputSink &operator=(const OutputSink &) = delete;

    AVIOContext *io() const { return m_io.get(); }
    // The file's size so far.
    std::int64_t bytesWritten() const { return m_size; }
    // Flushes, closes and renames the temporary to the final name, unless a file of that name
    // has become one the user may not change meanwhile.
    void commit();

private:
    static int writePacket(void *opaque, uint8_t *data, int size);
    static std::int64_t seek(void *opaque, std::int64_t offset, int whence);
    int writeAll(const uint8_t *data, int size);
    void closeFile();

    std::string m_temporary;
    std::string m_final;
    int m_fd = -1;
    std::int64_t m_position = 0;
    std::int64_t m_size = 0;
    IoContextPtr m_io;
    bool m_committed = false;
};

} // namespace engine
