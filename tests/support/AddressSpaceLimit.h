#pragma once

#include <QtGlobal>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

// Lowers this process's address space limit while it lives, to what it uses now and room
// bytes more, so that allocations beyond fail as when memory runs out.
class AddressSpaceLimit
{
public:
    // Whether a limit can be tried here: the address sanitizer reserves more address space
    // than any limit here leaves.
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool usable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr bool usable = false;
#else
    static constexpr bool usable = true;
#endif
#else
    static constexpr bool usable = true;
#endif

    explicit AddressSpaceLimit(qint64 room)
    {
        long pages = 0;
        if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        if (pages <= 0 || getrlimit(RLIMIT_AS, &m_old) != 0)
            return;
        rlimit limited = m_old;
        limited.rlim_cur =
            qMin(rlim_t(pages) * rlim_t(getpagesize()) + rlim_t(room), m_old.rlim_max);
        m_active = setrlimit(RLIMIT_AS, &limited) == 0;
    }
    ~AddressSpaceLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_AS, &m_old);
    }
    Q_DISABLE_COPY_MOVE(AddressSpaceLimit)

    // Whether the limit is in force.
    bool isActive() const
    {
        return m_active;
    }

private:
    rlimit m_old {};
    bool m_active = false;
};
