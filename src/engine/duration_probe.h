#pragma once

#include <cstdint>

namespace engine {

class MediaInput;

// The input's playing time in microseconds, for a file opened to be probed (it reads ahead
// and seeks). From the timestamps where they are present and consistent; only where they
// are not, from the file's size: in a program stream whose timestamps restart part-way, the
// stretch around each restart is measured by its bytes at the rate the rest of the file
// shows. A container that states its duration is believed; the streams' nominal bit rates
// give an estimate only where nothing else does and every stream states one.
std::int64_t probeDurationUs(MediaInput &input);

} // namespace engine
