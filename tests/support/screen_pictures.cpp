#include "screen_pictures.h"

#include "desktop_window.h"

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <utility>

QImage onScreen(QWidget &control)
{
    control.repaint();
    QTest::qWait(100);
    const QPoint at = control.mapToGlobal(QPoint());
    return onX11() ? control.screen()
                             ->grabWindow(0, at.x(), at.y(), control.width(), control.height())
                             .toImage()
                   : control.grab().toImage();
}

int changedPixels(const QImage &before, const QImage &after)
{
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    }
    return changed;
}

double textContrast(const QImage &picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    }
    const auto luminance = [](QColor c) {
        double sum = 0;
        for (const auto &[value, weight] : {std::pair(c.redF(), 0.2126),
                                            std::pair(c.greenF(), 0.7152),
                                            std::pair(c.blueF(), 0.0722)})
            sum += weight
                   * (value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4));
        return sum + 0.05;
    };
    const double background = luminance(
            std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
                return a.second < b.second;
            })->first);
    double highest = 1;
    for (const QRgb colour : counts.keys())
        highest = std::max(
                {highest, luminance(colour) / background, background / luminance(colour)});
    return highest;
}
