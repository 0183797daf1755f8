#include "app/form1.h"

#include <QPushButton>

namespace {

// The faces are light on every desktop theme: what the style writes or draws on them in the
// button's text colour stays dark.
void setFaceColour(QPushButton *button, const QColor &colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    button->setAutoFillBackground(true);
}

} // namespace

void Form1::applyButtonColours()
{
    const QColor face(236, 233, 216);
    const QColor teal(0, 192, 192);
    setFaceColour(cmdReset, face);
    setFaceColour(cmdStart, face);
    setFaceColour(cmdStop, face);
    setFaceColour(cmdInput, teal);
    setFaceColour(cmdOutput, teal);
}
