#include "heapwatch.h"

#include <algorithm>
#include <atomic>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORBEL_HEAP_HOOKS 1
#include <sanitizer/allocator_interface.h>
#endif
#endif

namespace {

std::atomic<long long> live { 0 };
std::atomic<long long> peak { 0 };

#ifdef QUORBEL_HEAP_HOOKS
void onMalloc(const volatile void *, size_t size)
{
    const long long now = live += static_cast<long long>(size);
    long long highest = peak.load();
    while (now > highest && !peak.compare_exchange_weak(highest, now)) { }
}

void onFree(const volatile void *pointer)
{
    if (pointer)
        live -= static_cast<long long>(__sanitizer_get_allocated_size(pointer));
}

// Installed before main(), so the fuzzer's first input is already counted.
const bool hooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) > 0;
#else
const bool hooked = false;
#endif

} // namespace

HeapWatch::HeapWatch()
    : m_start(live.load())
{
    peak = m_start;
}

bool HeapWatch::available()
{
    return hooked;
}

long long HeapWatch::peakGrowth() const
{
    return std::max(0LL, peak.load() - m_start);
}
