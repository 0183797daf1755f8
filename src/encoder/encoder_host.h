#pragma once

#include "encoder/encoder.h"

#include <memory>

class Machine;

// Creates the program's encoder: the engine module runs in a worker process started from
// the machine's encoder folder. Fails with "The encoder engine could not be loaded: ..."
// when the module or the worker is missing or does not answer.
std::unique_ptr<MediaEncoder> createEncoder(Machine &machine);
