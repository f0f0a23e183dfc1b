#pragma once

#include <QtGlobal>

#include <sys/resource.h>

#include <csignal>

// Lowers this process's file size limit while it lives, so that writes beyond it fall short
// as on a full disk; the signal that would end the process is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
        : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        if (getrlimit(RLIMIT_FSIZE, &m_old) != 0)
            return;
        rlimit limited = m_old;
        limited.rlim_cur = qMin(rlim_t(bytes), m_old.rlim_max);
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

    // Whether the limit is in force.
    bool isActive() const { return m_active; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};
