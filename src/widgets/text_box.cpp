#include "widgets/text_box.h"

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // What the user types becomes the text, with the program's line breaks.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText)
            m_text = toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    });
}

void TextBox::setText(const QString &text)
{
    m_text = text;
    m_settingText = true;
    setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_settingText = false;
}
