#pragma once

#include <QPlainTextEdit>

// A multi-line box that shows what the program decided, as lines on screen: the user reads,
// selects (with the mouse or the keyboard) and copies its text but types nothing into it, and
// Tab moves on to the next control. With the focus, its frame is the style's focused text
// field frame (the caret alone shows it only while it blinks). What text() returns is exactly what
// setText() was given, with the program's CR LF line breaks.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

protected:
    bool event(QEvent *event) override;

private:
    QString m_text;
};
