#pragma once

#include <QImage>

class QWidget;

// A control as the screen shows it (as the toolkit paints it where no program may look at the
// screen), in the screen's pixels.
QImage onScreen(QWidget &control);
// How many pixels differ between two pictures of the same size.
int changedPixels(const QImage &before, const QImage &after);
// The contrast (1 to 21, as accessibility guidelines measure it) of the colour in a picture
// that stands out most from its commonest colour, the background.
double textContrast(const QImage &picture);
