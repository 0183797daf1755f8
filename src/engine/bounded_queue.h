#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace engine {

// A small blocking queue between two pipeline stages. Its bound keeps a fast stage from
// running ahead of a slow one (and memory from growing with the file).
template<typename T>
class BoundedQueue
{
public:
    explicit BoundedQueue(std::size_t capacity)
        : m_capacity(capacity)
    {}

    // Blocks while full; false when the queue was aborted (the item is dropped).
    bool push(T item)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_aborted || m_items.size() < m_capacity; });
        if (m_aborted)
            return false;
        m_items.push_back(std::move(item));
        m_notEmpty.notify_one();
        return true;
    }

    // Blocks while empty; nothing once the queue is closed and empty, or aborted.
    std::optional<T> pop()
    {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return m_aborted || m_closed || !m_items.empty(); });
        if (m_aborted || m_items.empty())
            return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_notFull.notify_one();
        return item;
    }

    // No more items will come; the consumer still gets those queued.
    void close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }

    // Ends the queue at once for both sides (a stage failed).
    void abort()
    {
        std::lock_guard lock(m_mutex);
        m_aborted = true;
        m_items.clear();
        m_notEmpty.notify_all();
        m_notFull.notify_all();
    }

private:
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notEmpty;
    std::condition_variable m_notFull;
    std::deque<T> m_items;
    bool m_closed = false;
    bool m_aborted = false;
};

} // namespace engine
