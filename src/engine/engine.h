#pragma once

#include "engine/engine_job.h"

#include <cstdint>
#include <string>

// The encoder engine: MPEG program streams, Video CD ".dat" files and anything else FFmpeg
// reads in; WMV2 video + WMA2 audio in ASF out. Blocking calls; failures are EngineError.
namespace engine {

// The input's playing time in milliseconds, from its first timestamp.
std::int64_t probeDurationMs(const std::string &path);

// Encodes one file. The output is written under request.temporary and renamed to
// request.output when finished, also after a stop (the partial file plays). A failure
// leaves neither the temporary nor a damaged final file.
void encode(const EncodeRequest &request, EncodeObserver &observer);

// Fails with a description when the settings cannot be encoded.
void checkSettings(const OutputSettings &settings);

} // namespace engine
