#include "widgets/option_button.h"

void OptionButton::focusInEvent(QFocusEvent *event)
{
    QRadioButton::focusInEvent(event); // takes the Tab key from the other options
    const auto options = parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
    for (QRadioButton *option : options)
        option->setFocusPolicy(Qt::FocusPolicy(option->focusPolicy() | Qt::TabFocus));
}
