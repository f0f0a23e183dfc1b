#include "ParallelFor.h"

#include <QThread>

#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

int threadCount(int threads)
{
    return threads > 0 ? threads : qMax(1, QThread::idealThreadCount());
}

void parallelFor(qsizetype count, int threads,
                 const std::function<void(qsizetype begin, qsizetype end)> &work, qsizetype grain)
{
    if (count <= 0)
        return;
    const qsizetype chunkSize = qMax<qsizetype>(1, grain);
    const qsizetype chunks = (count + chunkSize - 1) / chunkSize;
    const int workers = int(qBound<qsizetype>(1, qsizetype(threadCount(threads)), chunks));
    if (workers == 1) {
        work(0, count);
        return;
    }

    std::atomic<qsizetype> next {0};
    // What a thread throws (no memory left) ends the loop for all of them and is thrown
    // again here, as a loop on one thread throws it; out of a thread it would end the program.
    std::mutex failureMutex;
    std::exception_ptr failure;
    const auto drain = [&] {
        try {
            for (qsizetype chunk = next++; chunk < chunks; chunk = next++)
                work(chunk * chunkSize, qMin(count, (chunk + 1) * chunkSize));
        } catch (...) {
            next = chunks;
            const std::lock_guard<std::mutex> lock(failureMutex);
            if (!failure)
                failure = std::current_exception();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(size_t(workers - 1));
    for (int i = 1; i < workers; ++i) {
        // Fewer threads only cost time: the ones running, this one included, take all chunks.
        try {
            pool.emplace_back(drain);
        } catch (const std::system_error &) {
            break;
        }
    }
    drain();
    for (std::thread &thread : pool)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
}
