#include "SerialWorker.h"

#include <system_error>
#include <utility>

SerialWorker::~SerialWorker()
{
    // Also while an exception unwinds the owner: the work is waited for, its failure dropped.
    stop();
}

bool SerialWorker::start()
{
    if (m_thread.joinable())
        return true;
    m_closing = false;
    try {
        m_thread = std::thread([this] { drain(); });
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

void SerialWorker::post(std::function<void()> work)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void SerialWorker::finish()
{
    stop();
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}

void SerialWorker::stop()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void SerialWorker::drain()
{
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        try {
            work();
        } catch (...) {
            // Later work builds on this one: it is dropped, and the failure handed to finish.
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = std::current_exception();
            m_queue.clear();
            return;
        }
    }
}
