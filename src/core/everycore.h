#pragma once

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace quorbel {

// Runs work on every core at once, this thread one of them, and returns when all have returned:
// at most one thread a job. Work must let no exception out. When a thread cannot start, the ones
// there are do the work just the same.
template <typename Work>
void onEveryCore(long long jobs, const Work &work)
{
    const unsigned helpers = std::max(1u, std::thread::hardware_concurrency()) - 1;
    std::vector<std::thread> threads;
    try {
        for (unsigned i = 0; i < helpers && i + 1 < jobs; ++i)
            threads.emplace_back([&work] { work(); });
    } catch (const std::system_error &) {
    }
    work();
    for (std::thread &thread : threads)
        thread.join();
}

} // namespace quorbel
