#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

// The folder browser's geometry in twips (1440 to the inch), and the conversion to the
// screen's pixels through its logical dpi.

inline constexpr double form9ClientWidth = 3636;
inline constexpr double form9ClientHeight = 4452;
inline constexpr double form9ButtonWidth = 1455;
inline constexpr double form9ButtonHeight = 375;

// The frame the layout was drawn for: the title bar and borders of a small tool window,
// which the window's outer size adds to its client area. Real frames differ between
// window managers, are told to the program late or never, and do not exist without a
// window manager, so the window is laid out from its client area plus this frame.
inline constexpr QSizeF form9DrawnFrame(39, 323);

// The smallest client area: both buttons side by side at their fixed places, and a few
// rows of the tree above them.
inline constexpr QSizeF form9MinimumClient(3636, 1800);

int twipsToPixels(double twips, double dpi);
double pixelsToTwips(int pixels, double dpi);
QRect twipsToPixels(const QRectF &twips, double dpi);

// The outer size the layout works with: the client area plus the drawn frame.
QSizeF form9OuterSize(QSizeF clientSize);

// Where the tree, the panel behind it and the two buttons go for a window of the given
// outer size. The tree and the panel span the outer width less 75 and end 715 and 705
// above the outer height; their tops lie above the client area so their upper borders are
// cut off; the buttons sit on the tree's lower edge at fixed places. With the drawn frame
// the buttons' row ends 17 twips above the client area's lower edge. Below 75 wide or 715
// high the values that would turn negative are held at zero.
struct Form9Layout
{
    QRectF picture1;
    QRectF dirTree1;
    QRectF ok;     // cmd(0)
    QRectF cancel; // cmd(1)
};
Form9Layout form9Layout(QSizeF outerSize);

// The window's place on first load: half its own width left of the main window's left edge
// and an eighth of its own height above its top edge, not held on the screen.
QPointF form9Placement(QPointF form1TopLeft, QSizeF form9OuterSize);
