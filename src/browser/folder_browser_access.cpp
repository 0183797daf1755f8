#include "app/form1.h"
#include "browser/form9.h"

Form9 &Form1::folderBrowser()
{
    // A window closed through its title bar is unloaded even while its deletion is pending.
    if (m_form9 && m_form9->isUnloaded())
        m_form9 = nullptr;
    if (!m_form9)
        m_form9 = new Form9(*this, m_values);
    return *m_form9;
}

bool Form1::folderBrowserLoaded() const
{
    return m_form9 && !m_form9->isUnloaded();
}
