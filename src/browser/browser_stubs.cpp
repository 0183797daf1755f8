#include "app/form1.h"
#include "browser/form9.h"

#include "platform/machine.h"
#include "sources/file_list_box.h"

#include <QPushButton>

Form9::Form9(Form1 &owner, ProgramValues &values)
    : QDialog(&owner)
    , m_owner(owner)
    , m_values(values)
{
    setAttribute(Qt::WA_DeleteOnClose);
    for (int i = 0; i < 2; ++i) {
        cmd[i] = new QPushButton(i == 0 ? QStringLiteral("OK") : QStringLiteral("Cancel"), this);
        cmd[i]->setObjectName(QStringLiteral("cmd(%1)").arg(i));
        connect(cmd[i], &QPushButton::clicked, this, [this, i] { cmd_Click(i); });
    }
}

void Form9::showModal()
{
    exec();
}

void Form9::cmd_Click(int index)
{
    if (index == 0)
        m_values.SelectedFolder = QString();
    else if (index == 1)
        m_values.SelectedFolder = Machine::current().programFolder();
    hide();
}

Form9 &Form1::folderBrowser()
{
    if (!m_form9)
        m_form9 = new Form9(*this, m_values);
    return *m_form9;
}
