#pragma once

#include "engine/av_owners.h"
#include "engine/engine_job.h"

#include <string>

namespace engine {

class AudioConverter;
class MediaInput;
class VideoConverter;

// Where the encoder stages put their packets: the muxer, or in an analysis pass only the
// rate control's statistics. Called from the stages' threads.
class PacketSink
{
public:
    virtual ~PacketSink() = default;
    virtual void videoPacket(AVPacket &packet) = 0;
    virtual void audioPacket(AVPacket &packet) = 0;
};

struct VideoPath
{
    VideoConverter &converter;
    AVCodecContext &encoder;
};

struct AudioPath
{
    AudioConverter &converter;
    AVCodecContext &encoder;
};

// What a pass met of damage in its input, which it stepped over.
struct DamageSeen
{
    int skipped = 0;       // packets that could not be decoded, pictures decoded with holes
    int misplaced = 0;     // frames whose damaged timestamps were not believed
    bool cutShort = false; // the reading ended on data that is no media
    // What the user is told of it with the finished file; empty when nothing was seen.
    std::string remark() const;
};

// Runs one pass over the input as three stages joined by small bounded queues: reading,
// decoding and scaling on the calling thread, video encoding and audio encoding on a thread
// each (neither encoder has threads of its own). Either path may be missing. Returns when
// the input is used up or a stop was asked for, with every encoder flushed; throws the
// first failure of any stage. Between any two frames it makes it looks for a stop, and it
// makes no more media than the input holds, whatever its timestamps say.
DamageSeen runPipeline(MediaInput &input,
                       VideoPath *video,
                       AudioPath *audio,
                       PacketSink &sink,
                       EncodeObserver &observer);

} // namespace engine
