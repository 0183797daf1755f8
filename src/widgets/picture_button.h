#pragma once

#include <QPushButton>

// A button that shows only its picture. The picture fills the button inside its frame, so the
// style's frame, and with it the style's own sign of the keyboard focus, stays in view.
class PictureButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};
