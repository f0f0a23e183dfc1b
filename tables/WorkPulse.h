#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <qnamespace.h>

#include <functional>

namespace vondrel {

// Keeps a window alive while long work runs on its thread. Whoever owns the window installs a
// beat (typically: process pending events, user input excepted) for the work's duration; the
// work's loops call pulse() where they stand between two blocks. The beat runs at most once
// per interval and only on the thread that installed it, so work on other threads and work
// without a window pay one check.
class WorkPulse
{
public:
    using Beat = std::function<void()>;

    // Installs beat until destruction; the one installed before comes back then.
    explicit WorkPulse(Beat beat, int intervalMs = 40);
    ~WorkPulse();
    WorkPulse(const WorkPulse &) = delete;
    WorkPulse &operator=(const WorkPulse &) = delete;

    // Runs the installed beat when its interval has passed.
    static void pulse();

private:
    Beat m_beat;
    const int m_intervalMs;
    QElapsedTimer m_sinceBeat;
    Qt::HANDLE m_thread;
    WorkPulse *m_previous;
    bool m_beating = false;
};

} // namespace vondrel
