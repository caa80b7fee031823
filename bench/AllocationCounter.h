#pragma once

#include <cstddef>
#include <cstdint>

// Counts the heap allocations made while it is armed: operator new is
// replaced in this program and malloc, calloc and realloc are wrapped at
// link time, so the module's containers and C-heap blocks are both seen.
// Blocks freed while armed must have been allocated while armed.
struct AllocationCount {
    uint64_t calls = 0;  // allocations
    int64_t live = 0;    // bytes allocated and not freed since the start
    int64_t peak = 0;    // the most live bytes at any moment
};

void StartCountingAllocations();
AllocationCount StopCountingAllocations();
