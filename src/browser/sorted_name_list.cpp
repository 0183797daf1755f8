#include "browser/sorted_name_list.h"

#include <algorithm>

void SortedNameList::add(const QString &text, const QString &realName)
{
    m_entries.append({text, realName, text.toCaseFolded()});
    m_sorted = false;
}

const QList<SortedNameList::Entry> &SortedNameList::entries() const
{
    if (!m_sorted) {
        std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
            return a.sortKey < b.sortKey;
        });
        m_sorted = true;
    }
    return m_entries;
}

void SortedNameList::clear()
{
    m_entries.clear();
    m_sorted = true;
}
