#pragma once

#include "engine/av_owners.h"
#include "engine/engine_job.h"

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

// Runs one pass over the input as three stages joined by small bounded queues: reading,
// decoding and scaling on the calling thread, video encoding and audio encoding on a thread
// each (neither encoder has threads of its own). Either path may be missing. Returns when
// the input is used up or a stop was asked for, with every encoder flushed; throws the
// first failure of any stage.
void runPipeline(MediaInput &input,
                 VideoPath *video,
                 AudioPath *audio,
                 PacketSink &sink,
                 EncodeObserver &observer);

} // namespace engine
