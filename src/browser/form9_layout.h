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

int twipsToPixels(double twips, double dpi);
double pixelsToTwips(int pixels, double dpi);
QRect twipsToPixels(const QRectF &twips, double dpi);

// Where the tree, the panel behind it and the two buttons go for a window of the given
// outer size (title bar and borders included). The tree and the panel span the outer width
// less 75 and end 715 and 705 above the outer height; their tops lie above the client area
// so their upper borders are cut off; the buttons sit on the tree's lower edge at fixed
// places. Below 75 wide or 715 high the values that would turn negative are held at zero.
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
