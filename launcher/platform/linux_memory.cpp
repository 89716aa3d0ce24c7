// Large pages on Linux: transparent huge pages, which this system's setting
// commonly gives only to memory that asks for them.
#include "memory.h"

#include <sys/mman.h>

#include <cstdint>

constexpr uintptr_t kLargePage = uintptr_t(1) << 21;

size_t largePageBytes()
{
    return kLargePage;
}

void adviseLargeArray(void* data, size_t bytes)
{
    // Only the large pages wholly inside the array are named: the memory
    // around it belongs to other blocks of the allocator.
    uintptr_t start = (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLargePage - 1);
    if (data && end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}
