#pragma once

#include <unistd.h>

// An open file descriptor that is closed on every path out of its scope. Plain C++.
class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1)
        : m_fd(fd)
    {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // Closes any descriptor held and holds fd instead.
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now and returns close()'s result: a deferred write error may show only here.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};
