#include "bench/AllocationCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
extern "C" void __real_free(void* block);

namespace {

std::atomic<bool> g_armed{false};
std::atomic<uint64_t> g_calls{0};
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void* Counted(void* block) {
    if (block != nullptr && g_armed.load(std::memory_order_relaxed)) {
        g_calls.fetch_add(1, std::memory_order_relaxed);
        const int64_t live = g_live.fetch_add(static_cast<int64_t>(malloc_usable_size(block))) +
                             static_cast<int64_t>(malloc_usable_size(block));
        if (live > g_peak.load(std::memory_order_relaxed)) {
            g_peak.store(live, std::memory_order_relaxed);
        }
    }
    return block;
}

void Uncounted(void* block) {
    if (block != nullptr && g_armed.load(std::memory_order_relaxed)) {
        g_live.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
    }
}

}  // namespace

extern "C" void* __wrap_malloc(size_t size) { return Counted(__real_malloc(size)); }
extern "C" void* __wrap_calloc(size_t count, size_t size) { return Counted(__real_calloc(count, size)); }
extern "C" void* __wrap_realloc(void* block, size_t size) {
    Uncounted(block);
    return Counted(__real_realloc(block, size));
}
extern "C" void __wrap_free(void* block) {
    Uncounted(block);
    __real_free(block);
}

void* operator new(size_t size) {
    void* block = Counted(__real_malloc(size == 0 ? 1 : size));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}
void operator delete(void* block) noexcept { __wrap_free(block); }
void operator delete(void* block, size_t) noexcept { __wrap_free(block); }

void StartCountingAllocations() {
    g_calls = 0;
    g_live = 0;
    g_peak = 0;
    g_armed = true;
}

AllocationCount StopCountingAllocations() {
    g_armed = false;
    return {g_calls.load(), g_live.load(), g_peak.load()};
}
