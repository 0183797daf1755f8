#include "app/form1_layout.h"

#include "common/rounding.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QSvgRenderer>

#include <utility>

namespace {

// clang-format off
const ControlLayout controls[] = {
    {"Label10",             0,    0, 1695,  210, "Select Folders:",      "Step 1: Use input/output buttons to select directories.",      true},
    {"cmdInput",            0,  240, 1092,  300, nullptr,                "Step 1a: Use input button to select input-directory.",         false},
    {"cmdOutput",           0,  600, 1092,  300, nullptr,                "Step 1b: Use output button to select output-directory.",       false},
    {"Text4",            1200,  360, 2292,  732, nullptr,                nullptr,                                                        false},
    {"Label9",           3600,    0, 1452,  204, "My Files:",            "List of selected files.",                                      false},
    {"Text3",            3600,  360, 3492, 2600, nullptr,                nullptr,                                                        false},
    {"Label8",              0, 1080, 1692,  204, "Select Files:",        "Step 2: Select files. Use Ctrl-key to select multiple files.", true},
    {"File1",               0, 1320, 3492, 1560, nullptr,                nullptr,                                                        false},
    {"Label4",            120, 3180,  612,  252, "Profile:",             "Default profile is Kestrel Medium",                            false},
    {"Combo1",            720, 3120, 6372,  315, nullptr,                nullptr,                                                        false},
    {"Label7",           2520, 3600, 4452,  204, nullptr,                nullptr,                                                        false},
    {"optOnePass",        720, 3840, 1695,  200, "1-pass encoding",      "click ? for info",                                             false},
    {"Label1",           2520, 3840, 2532,  204, nullptr,                nullptr,                                                        false},
    {"lblPassInfo",       770, 4080,  255,  200, "?",                    "click for info",                                               true},
    {"Label2",           2520, 4080, 2532,  204, nullptr,                nullptr,                                                        false},
    {"chkCopytoStorage", 5160, 4080, 1812,  252, "copy to storage card", nullptr,                                                        false},
    {"optTwoPass",        720, 4320, 1695,  200, "2-pass encoding",      "click ? for info",                                             false},
    {"Label3",           2520, 4320, 2532,  204, nullptr,                nullptr,                                                        false},
    {"File2",             120, 4320,  492,  264, nullptr,                nullptr,                                                        false},
    {"Label5",           2520, 4560, 4452,  204, nullptr,                nullptr,                                                        false},
    {"Label6",           2520, 4560, 2532,  204, nullptr,                nullptr,                                                        false},
    {"ProgressBar1",      240, 4800, 6735,  100, nullptr,                nullptr,                                                        false},
    {"Line1",             230, 4800,    0,  100, nullptr,                nullptr,                                                        false},
    {"Line2",            6975, 4800,    0,  100, nullptr,                nullptr,                                                        false},
    {"cmdReset",          240, 4920, 2172,  340, nullptr,                nullptr,                                                        false},
    {"cmdStart",         2520, 4920, 2172,  340, nullptr,                nullptr,                                                        false},
    {"cmdStop",          4800, 4920, 2172,  340, nullptr,                nullptr,                                                        false},
};
// clang-format on

struct ButtonPicture
{
    const char *name;
    const char *resource;
    QSize size; // pixels
};

const ButtonPicture pictures[] = {
        {"cmdInput", ":/buttons/input.svg", {74, 20}},
        {"cmdOutput", ":/buttons/output.svg", {74, 20}},
        {"cmdReset", ":/buttons/reset.svg", {150, 31}},
        {"cmdStart", ":/buttons/encode.svg", {150, 31}},
        {"cmdStop", ":/buttons/stop.svg", {150, 31}},
};

// What a screen reader names the controls that show no text of their own: the words on
// their pictures, and for the lists and boxes the labels above them.
const std::pair<const char *, const char *> accessibleNames[] = {
        {"cmdInput", "input"},
        {"cmdOutput", "output"},
        {"Text4", "Select Folders"},
        {"Text3", "My Files"},
        {"File1", "Select Files"},
        {"Combo1", "Profile"},
        {"ProgressBar1", "Progress"},
        {"cmdReset", "reset"},
        {"cmdStart", "encode"},
        {"cmdStop", "stop"},
};

// The lists and text boxes the user reads files and folders from share one pale cyan, with
// dark text on every desktop theme (a dark theme's light text would vanish on it).
const char *const cyanControls[] = {"Text4", "Text3", "File1"};
const QColor cyan(192, 255, 255);
const QColor cyanText(Qt::black);
const QColor cyanGreyedText(96, 96, 96); // 5.7:1 on the cyan, still set apart from black

QIcon renderedPicture(const QString &resource, QSize size, qreal pixelRatio)
{
    QPixmap pixmap(size * pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer(resource).render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(pixelRatio);
    return QIcon(pixmap);
}

void giveText(QWidget *widget, const char *text)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(QLatin1String(text));
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(QLatin1String(text));
}

// The toolkit's round indicator may be taller than the option buttons' drawn height: they
// grow about their middle to show it whole.
QRect withRoomForIndicator(const QWidget *widget, QRect place)
{
    if (!qobject_cast<const QRadioButton *>(widget))
        return place;
    const int indicator
            = widget->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, widget);
    const int missing = indicator + 1 - place.height();
    return missing > 0 ? place.adjusted(0, -missing / 2, 0, missing - missing / 2) : place;
}

void placeControl(QWidget *widget, const ControlLayout &control, qreal dpiX, qreal dpiY)
{
    widget->setGeometry(withRoomForIndicator(widget, twipsToPixels(control, dpiX, dpiY)));
    if (control.text)
        giveText(widget, control.text);
    if (control.tip)
        widget->setToolTip(QLatin1String(control.tip));
    if (control.bold)
        widget->setFont(form1Font(true));
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void drawPictureButtons(QWidget *clientArea)
{
    for (const ButtonPicture &picture : pictures) {
        auto *button = clientArea->findChild<QPushButton *>(QLatin1String(picture.name));
        Q_ASSERT(button);
        button->setText(QString());
        button->setIconSize(picture.size);
        button->setIcon(renderedPicture(
                QLatin1String(picture.resource), picture.size, button->devicePixelRatioF()));
    }
}

void paintCyan(QWidget *clientArea)
{
    for (const char *name : cyanControls) {
        auto *widget = clientArea->findChild<QWidget *>(QLatin1String(name));
        Q_ASSERT(widget);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, cyan);
        palette.setColor(QPalette::Text, cyanText);
        palette.setColor(QPalette::Disabled, QPalette::Text, cyanGreyedText);
        widget->setPalette(palette);
    }
}

// The labels that stand above a control, so a screen reader reads them with it.
const std::pair<const char *, const char *> labelled[] = {
        {"Label8", "File1"},
        {"Label9", "Text3"},
        {"Label4", "Combo1"},
};

void giveAccessibleNames(QWidget *clientArea)
{
    const auto child = [clientArea](const char *name) {
        auto *widget = clientArea->findChild<QWidget *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    };
    for (const auto &[name, accessibleName] : accessibleNames)
        child(name)->setAccessibleName(QLatin1String(accessibleName));
    for (const auto &[label, control] : labelled)
        qobject_cast<QLabel *>(child(label))->setBuddy(child(control));
}

} // namespace

std::span<const ControlLayout> form1Layout()
{
    return controls;
}

int twipsToPixels(int twips, qreal dotsPerInch)
{
    return static_cast<int>(roundHalfEven(twips * dotsPerInch / 1440.0));
}

QRect twipsToPixels(const ControlLayout &control, qreal dpiX, qreal dpiY)
{
    const int width = control.width == 0 ? 1 : twipsToPixels(control.width, dpiX);
    return QRect(twipsToPixels(control.left, dpiX),
                 twipsToPixels(control.top, dpiY),
                 width,
                 twipsToPixels(control.height, dpiY));
}

QSize form1ClientSize(qreal dpiX, qreal dpiY)
{
    return QSize(twipsToPixels(form1ClientWidthTwips, dpiX),
                 twipsToPixels(form1ClientHeightTwips, dpiY));
}

QFont form1Font(bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Where the window's own face is missing, a face of the same widths (Arial's) keeps the
    // texts inside their boxes; the desktop's wider sans face comes last.
    font.setFamilies({QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"),
                      font.family()});
    font.setPointSizeF(bold ? 7.8 : 8.0);
    font.setBold(bold);
    return font;
}

void layOutForm1(QWidget *clientArea, qreal dpiX, qreal dpiY)
{
    clientArea->setFont(form1Font(false));
    for (const ControlLayout &control : controls) {
        auto *widget = clientArea->findChild<QWidget *>(QLatin1String(control.name));
        Q_ASSERT(widget);
        placeControl(widget, control, dpiX, dpiY);
    }
    drawPictureButtons(clientArea);
    paintCyan(clientArea);
    giveAccessibleNames(clientArea);
}
