#include "engine/engine_error.h"

extern "C" {
#include <libavutil/error.h>
}

namespace engine {

std::string avErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0)
        return "error " + std::to_string(code);
    return text;
}

int check(int code, FailureSubject subject)
{
    if (code < 0)
        throw EngineError(subject, avErrorText(code));
    return code;
}

} // namespace engine
