#pragma once

#include <QRadioButton>

// An option button whose options are each a stop of the Tab key, so that Tab walks every
// control of the window in its order (the toolkit keeps only the option focused last); the
// arrow keys still move between the options and select them.
class OptionButton : public QRadioButton
{
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    void focusInEvent(QFocusEvent *event) override;
};
