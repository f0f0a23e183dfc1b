#include "WorkPulse.h"

#include <QThread>

#include <atomic>

namespace vondrel {

namespace {

// Written only by the installing thread; read by any thread, which then compares threads.
std::atomic<WorkPulse *> installed {nullptr};

} // namespace

WorkPulse::WorkPulse(Beat beat, int intervalMs)
    : m_beat(std::move(beat))
    , m_intervalMs(intervalMs)
    , m_thread(QThread::currentThreadId())
    , m_previous(installed.exchange(this))
{
    m_sinceBeat.start();
}

WorkPulse::~WorkPulse()
{
    installed.store(m_previous);
}

void WorkPulse::pulse()
{
    WorkPulse *current = installed.load(std::memory_order_relaxed);
    if (!current || current->m_thread != QThread::currentThreadId() || current->m_beating ||
        current->m_sinceBeat.elapsed() < current->m_intervalMs)
        return;
    // A beat that lets events run may reach work that pulses again.
    current->m_beating = true;
    if (current->m_beat)
        current->m_beat();
    current->m_beating = false;
    current->m_sinceBeat.start();
}

} // namespace vondrel
