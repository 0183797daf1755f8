#include "widgets/picture_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

// Drawn as the style draws a push button (panel, label, focus rectangle), with the label
// kept inside the panel's frame.
void PictureButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    painter.save();
    painter.setClipRect(style()->subElementRect(QStyle::SE_PushButtonContents, &option, this));
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
    painter.restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
