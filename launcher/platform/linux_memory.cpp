// Large pages on Linux: transparent huge pages, which this system's setting
// commonly gives only to memory that asks for them.
#include "memory.h"

#include <sys/mman.h>

size_t largePageBytes()
{
    return size_t(1) << 21;
}

void adviseLargePages(void* data, size_t bytes)
{
    madvise(data, bytes, MADV_HUGEPAGE);
}
