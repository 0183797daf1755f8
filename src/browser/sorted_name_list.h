#pragma once

#include <QCollator>
#include <QList>
#include <QString>

// The tree's scratch list (List1): the sub-folders of one folder, kept in ascending order
// of their shown text before they become nodes. The order is the user's locale collation,
// ignoring case, so "Übung" stands among the U names and not after Z. Each entry carries
// the folder's real name beside its shown text, since Linux names are case-sensitive and
// two folders may differ in case only. Empty between operations.
class SortedNameList
{
public:
    struct Entry
    {
        QString text;     // as shown, in proper case
        QString realName; // as the file system gives it
    };

    SortedNameList();

    void add(const QString &text, const QString &realName);
    // The entries in order; names that collate equal keep the order they were added in.
    const QList<Entry> &entries() const;
    int count() const { return int(m_entries.size()); }
    void clear();

private:
    void sort() const;

    QCollator m_collator;
    // Sorted on reading rather than on every add: a folder of ten thousand sub-folders
    // would otherwise shift the list ten thousand times.
    mutable QList<Entry> m_entries;
    mutable bool m_sorted = true;
};
