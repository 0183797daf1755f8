#pragma once

#include "common/error.h"

#include <exception>

// Runs one step of a handler that is meant to step over its failures (the storage-card
// scan, the stop handler, the tree's listing): a failing step is skipped and the caller
// goes on with the next one. Returns whether the step succeeded. Every step skipped this
// way goes through here; elsewhere a caught Error is shown to the user, handed on, or stands
// for a plain answer (a path on no drive names no file: FileSystemObject::FileExists).
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
