#include "browser/sorted_name_list.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// The user's locale; where none is set (the C locale), the language-neutral collation
// rather than the order of character codes, which puts accented letters after Z.
QLocale collationLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

} // namespace

SortedNameList::SortedNameList()
    : m_collator(collationLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void SortedNameList::add(const QString &text, const QString &realName)
{
    m_entries.append({text, realName});
    m_sorted = false;
}

const QList<SortedNameList::Entry> &SortedNameList::entries() const
{
    if (!m_sorted) {
        sort();
        m_sorted = true;
    }
    return m_entries;
}

// Each text's collation key is made once, rather than the texts collated again at every
// comparison.
void SortedNameList::sort() const
{
    std::vector<QCollatorSortKey> keys;
    keys.reserve(m_entries.size());
    for (const Entry &entry : std::as_const(m_entries))
        keys.push_back(m_collator.sortKey(entry.text));
    std::vector<qsizetype> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) {
        return keys[a].compare(keys[b]) < 0;
    });
    QList<Entry> sorted;
    sorted.reserve(m_entries.size());
    for (const qsizetype index : order)
        sorted.append(std::move(m_entries[index]));
    m_entries = std::move(sorted);
}

void SortedNameList::clear()
{
    m_entries.clear();
    m_sorted = true;
}
