#pragma once

#include "engine/av_owners.h"
#include "engine/engine_job.h"

namespace engine {

// How the video encoder's rate control runs: in one go, as the analysis pass of a two-pass
// encode (writing statistics), or as its final pass (reading them).
enum class RatePass { Single, Analysis, Final };

// Opens the WMV2 encoder. For the final pass, statistics is the analysis pass's text; it is
// the caller's and must outlive the encoder. When the final pass cannot reach the profile's
// bit rate, the open fails with FailureSubject::TwoPassTarget, or, where libavcodec aborts
// instead, the observer hears of it first.
CodecContextPtr openVideoEncoder(const OutputSettings &settings,
                                 AVRational frameRate,
                                 RatePass pass,
                                 char *statistics,
                                 bool globalHeader,
                                 EncodeObserver &observer);

// Opens the WMA2 encoder.
CodecContextPtr openAudioEncoder(const OutputSettings &settings, bool globalHeader);

} // namespace engine
