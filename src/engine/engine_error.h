#pragma once

#include "engine/worker_protocol_words.h"

#include <stdexcept>
#include <string>

namespace engine {

// What a failure was about: the subjects the worker reports to the host.
using FailureSubject = worker_protocol::FailureSubject;

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
