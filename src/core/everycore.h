#pragma once

#include "core/vectorstate.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace quorbel {

// The threads onEveryCore runs: one a core, unless set otherwise (0: one a core again), which
// tests do to show that the outputs never depend on it.
inline std::atomic<unsigned> &threadCountSetting()
{
    static std::atomic<unsigned> count = 0;
    return count;
}

inline unsigned threadCount()
{
    const unsigned set = threadCountSetting();
    return set > 0 ? set : std::max(1u, std::thread::hardware_concurrency());
}

// Runs work on every core at once, this thread one of them, and returns when all have returned:
// at most one thread a job. Work must let no exception out. When a thread cannot start, the ones
// there are do the work just the same.
template <typename Work>
void onEveryCore(long long jobs, const Work &work)
{
    const unsigned helpers = threadCount() - 1;
    std::vector<std::thread> threads;
    try {
        for (unsigned i = 0; i < helpers && i + 1 < jobs; ++i)
            threads.emplace_back([&work] {
                clearUpperVectorState();
                work();
            });
    } catch (const std::system_error &) {
    }
    clearUpperVectorState();
    work();
    for (std::thread &thread : threads)
        thread.join();
}

} // namespace quorbel
