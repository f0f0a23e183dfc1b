#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// Runs pieces of work one after the other, in the order they are handed over, on a thread of
// its own, while the caller goes on with other work.
class SerialWorker
{
public:
    SerialWorker() = default;
    SerialWorker(const SerialWorker &) = delete;
    SerialWorker &operator=(const SerialWorker &) = delete;
    // Waits for the work handed over.
    ~SerialWorker();

    // Starts the thread; false when the system would not give one.
    bool start();
    bool isRunning() const { return m_thread.joinable(); }
    // Hands work over to the running thread.
    void post(std::function<void()> work);
    // Waits until all work handed over is done, then ends the thread. What a piece of work
    // threw (no memory left) is thrown again here; the work after it was dropped.
    void finish();

private:
    void drain();
    void stop();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_closing = false;
    std::exception_ptr m_failure;
};
