#pragma once

#include "widgets/dialogs.h"

#include <QList>
#include <QString>

// Records every message box and answers Yes/No questions from a script (No when the script
// has run out). Installed for its lifetime.
class ScriptedDialogs : public DialogService
{
public:
    struct Box
    {
        QString text;
        MsgButtons buttons;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    MsgAnswer show(const QString &text, MsgButtons buttons) override;

    void answer(MsgAnswer answer) { m_script.append(answer); }
    void answerYes() { answer(MsgAnswer::Yes); }
    void answerNo() { answer(MsgAnswer::No); }

    const QList<Box> &boxes() const { return m_boxes; }
    QStringList texts() const;
    void clear() { m_boxes.clear(); }

private:
    QList<MsgAnswer> m_script;
    QList<Box> m_boxes;
};
