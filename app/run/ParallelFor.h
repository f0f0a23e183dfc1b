#pragma once

#include <QtGlobal>

#include <functional>

// Calls work(begin, end) for consecutive ranges of at most grain indexes covering [0, count),
// on up to threads threads (0: one per core). Each range is handled exactly once; the calls
// must not depend on their order. With one thread everything runs on the calling thread.
// What a call throws is thrown again on the calling thread, once all threads have stopped.
// The number of threads a request for threads stands for (0: one per core).
int threadCount(int threads);

void parallelFor(qsizetype count, int threads,
                 const std::function<void(qsizetype begin, qsizetype end)> &work,
                 qsizetype grain = 512);
