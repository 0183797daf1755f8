#pragma once

#include <QString>

// The notification's body at the end of a batch: "2 files converted, 1 not converted.",
// "3 files converted." when every file went well.
QString batchEndText(int converted, int notConverted);
