#pragma once

#include <QString>

class QWidget;

// The editor's message boxes, titled "Profile Editor". Tests hand the window their own
// prompts to record the texts and answer the questions.
class EditorPrompts
{
public:
    virtual ~EditorPrompts() = default;
    virtual void error(QWidget *parent, const QString &text) = 0;
    // A question with Yes and No; only Yes counts as yes.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
};

class QtEditorPrompts : public EditorPrompts
{
public:
    void error(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;
};
