#include "scripted_dialogs.h"

ScriptedDialogs::ScriptedDialogs()
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(nullptr);
}

MsgAnswer ScriptedDialogs::show(const QString &text, MsgButtons buttons)
{
    m_boxes.append({text, buttons});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    return m_script.isEmpty() ? MsgAnswer::No : m_script.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Box &box : m_boxes)
        result.append(box.text);
    return result;
}
