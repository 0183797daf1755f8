#pragma once

#include <QSet>
#include <QString>

#include <mutex>

// The keys (volume roots, folders) whose helper thread still waits for its file system. A
// call into a file system that stopped answering cannot be cancelled, so its thread is left
// behind; a later question on the same key is answered at once instead of leaving another
// thread waiting beside it. Keep instances for the program's whole life (never destroyed): a
// helper left behind may end while the program exits.
class WaitingKeys
{
public:
    // False while a helper for the key still waits; otherwise the caller holds the key until
    // it lets go of it.
    bool claim(const QString &key)
    {
        const std::lock_guard lock(m_mutex);
        if (m_keys.contains(key))
            return false;
        m_keys.insert(key);
        return true;
    }
    void letGo(const QString &key)
    {
        const std::lock_guard lock(m_mutex);
        m_keys.remove(key);
    }

private:
    std::mutex m_mutex;
    QSet<QString> m_keys;
};
