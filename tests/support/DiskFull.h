#pragma once

#include <csignal>
#include <sys/resource.h>

// While alive, no file of this process may grow past maxBytes: a write beyond
// fails as on a full disk. Unlike a read-only folder it holds for root too.
class DiskFull
{
public:
    explicit DiskFull(rlim_t maxBytes)
    {
        // The write then fails with EFBIG instead of ending the process.
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit limit = m_old;
        limit.rlim_cur = maxBytes;
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~DiskFull()
    {
        if (m_ok)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    DiskFull(const DiskFull &) = delete;
    DiskFull &operator=(const DiskFull &) = delete;

    bool isActive() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};
