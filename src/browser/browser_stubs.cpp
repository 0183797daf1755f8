#include "app/form1.h"
#include "browser/form9.h"

Form9::Form9(Form1 &owner, ProgramValues &values)
    : QDialog(&owner)
    , m_owner(owner)
    , m_values(values)
{}

Form9 &Form1::folderBrowser()
{
    if (!m_form9)
        m_form9 = new Form9(*this, m_values);
    return *m_form9;
}
