#include "browser/form9_layout.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double twipsPerInch = 1440;

double atLeastZero(double value)
{
    return std::max(0.0, value);
}
} // namespace

int twipsToPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / twipsPerInch));
}

double pixelsToTwips(int pixels, double dpi)
{
    return pixels * twipsPerInch / dpi;
}

// Edges are converted rather than sizes, so edges that meet in twips (the tree's lower
// edge and the buttons' top) still meet in pixels.
QRect twipsToPixels(const QRectF &twips, double dpi)
{
    const int left = twipsToPixels(twips.left(), dpi);
    const int top = twipsToPixels(twips.top(), dpi);
    return QRect(left,
                 top,
                 twipsToPixels(twips.right(), dpi) - left,
                 twipsToPixels(twips.bottom(), dpi) - top);
}

QSizeF form9OuterSize(QSizeF clientSize)
{
    return clientSize + form9DrawnFrame;
}

Form9Layout form9Layout(QSizeF outerSize)
{
    const double H = outerSize.height();
    const double W = outerSize.width();
    const double paneWidth = atLeastZero(W - 75);
    const double paneHeight = atLeastZero(H - 695);
    const double buttonTop = atLeastZero(H - 715);
    Form9Layout layout;
    // clang-format off
    //                       left  top        width             height
    layout.picture1 = QRectF(   0, -10,       paneWidth,        paneHeight);
    layout.dirTree1 = QRectF(   0, -20,       paneWidth,        paneHeight);
    layout.ok       = QRectF(2000, buttonTop, form9ButtonWidth, form9ButtonHeight);
    layout.cancel   = QRectF( 175, buttonTop, form9ButtonWidth, form9ButtonHeight);
    // clang-format on
    return layout;
}

QPointF form9Placement(QPointF form1TopLeft, QSizeF form9OuterSize)
{
    return QPointF(form1TopLeft.x() - form9OuterSize.width() / 2,
                   form1TopLeft.y() - form9OuterSize.height() / 8);
}
