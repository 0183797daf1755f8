#include "app/form1.h"

#include <QRadioButton>

// The pass count is read afresh for every file the batch sets up, so a change here applies
// from the next file on, even in a batch that is running.
void Form1::optOnePass_Click()
{
    if (optOnePass->isChecked()) {
        optTwoPass->setChecked(false);
        PreprocessPasses = 0;
    }
}

void Form1::optTwoPass_Click()
{
    if (optTwoPass->isChecked()) {
        optOnePass->setChecked(false);
        PreprocessPasses = 1;
    }
}
