#pragma once

#include <stdexcept>
#include <string>

namespace engine {

// What a failure was about; the host words the user's message from it and the file's name
// as the user gave it, which the engine never sees.
enum class FailureSubject : int {
    OpenInput = 1,     // the input cannot be opened or is not media
    ReadInput = 2,     // reading or decoding the input failed part-way
    WriteOutput = 3,   // the output cannot be created or written
    Convert = 4,       // the conversion itself failed (encoder set-up, settings)
    TwoPassTarget = 5, // the final pass cannot reach the bit rate; one pass still can
};

class EngineError : public std::runtime_error
{
public:
    EngineError(FailureSubject subject, const std::string &reason)
        : std::runtime_error(reason)
        , m_subject(subject)
    {}
    FailureSubject subject() const { return m_subject; }

private:
    FailureSubject m_subject;
};

// libav's own wording of an error code ("No such file or directory").
std::string avErrorText(int code);

// Throws EngineError(subject, avErrorText(code)) when code is negative; returns code.
int check(int code, FailureSubject subject);

} // namespace engine
