#pragma once

#include <QString>

class BatchRun;
class QWidget;

// The notification's body at the end of a batch: "2 files converted, 1 not converted.",
// "3 files converted." when every file went well.
QString batchEndText(int converted, int notConverted);

// Tells the desktop how a batch of several files went when the user is not looking at the
// window.
void notifyBatchEnded(QWidget &window, const BatchRun &batch);
