#include "platform/encoder_host.h"

#include "common/error.h"

std::unique_ptr<MediaEncoder> createEncoder(Machine &)
{
    throw Error(
            QStringLiteral("The encoder engine could not be loaded: the engine is not built yet."));
}
