#pragma once

#include <QPlainTextEdit>

// A multi-line text box whose text keeps the program's CR LF line breaks (what text()
// returns is exactly what setText() was given), shown as lines on screen.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

private:
    QString m_text;
    bool m_settingText = false;
};
