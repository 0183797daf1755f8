#pragma once

#include "engine/av_owners.h"

namespace engine {

// Whether libavcodec's rate control will take the analysis pass's statistics for the final
// pass of the encoder set up in `encoder` (configured, not yet opened): the same sums and the
// same search for a rate factor that libavcodec 5.1's two-pass set-up makes (ratecontrol.c,
// init_pass2), done beforehand, because libavcodec frees memory twice on its way out after
// refusing them. Covers the rate control as this engine sets it up (default equation, no
// B-frames, no rate buffer); for any other set-up it answers true and leaves the judgement
// to libavcodec.
bool finalPassReachable(const AVCodecContext &encoder, const char *statistics);

} // namespace engine
