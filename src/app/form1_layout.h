#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include <span>

class QWidget;

// The main window as drawn: every control's place and size in twips (1440 to the inch),
// relative to the client area below the menu bar, with its text, hover tip and font.
struct ControlLayout
{
    const char *name; // the control's objectName
    int left;
    int top;
    int width; // 0 for a vertical line, drawn one pixel wide
    int height;
    const char *text; // nullptr: the control shows no text of its own
    const char *tip;  // nullptr: no hover tip
    bool bold;        // the bold 7.8 pt face instead of the window's 8 pt one
};

std::span<const ControlLayout> form1Layout();

// The client area as laid out, below the menu bar; the window keeps it at all times.
inline constexpr int form1ClientWidthTwips = 7116;
inline constexpr int form1ClientHeightTwips = 5424;

// Twips to pixels at a screen's logical resolution (dots per inch); halves go to even.
int twipsToPixels(int twips, qreal dotsPerInch);
QRect twipsToPixels(const ControlLayout &control, qreal dpiX, qreal dpiY);
QSize form1ClientSize(qreal dpiX, qreal dpiY);

// "MS Sans Serif" where the system has it, otherwise the desktop's sans font, at the size
// the window was drawn with (8 pt, the bold labels 7.8 pt).
QFont form1Font(bool bold);

// Places the named children of the client area and gives them their texts, tips, fonts,
// colours and the names a screen reader reads; the picture buttons get their pictures. The
// controls must exist already.
void layOutForm1(QWidget *clientArea, qreal dpiX, qreal dpiY);
