#pragma once

#include "common/error.h"

#include <exception>

// Runs one step of a handler that is meant to step over its failures (the storage-card
// scan, the stop handler, the tree's listing): a failing step is skipped and the caller
// goes on with the next one. Returns whether the step succeeded. This is the only place
// where the program swallows errors on purpose.
template<typename Step>
bool stepOver(Step &&step) noexcept
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
