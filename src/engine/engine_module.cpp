extern "C" {
#include <libavcodec/avcodec.h>
}

// The engine's entry points; the encoding pipeline comes with the engine itself.
extern "C" __attribute__((visibility("default"))) unsigned cf_engine_version()
{
    return avcodec_version();
}
