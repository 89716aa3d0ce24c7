// The process's allocator on Windows: the C runtime's heap, which every
// module of the process shares (each module has an operator new of its own).
#include "process_allocator.h"

#include <malloc.h>

#include <cstdlib>

void* processAllocate(size_t size, size_t alignment) noexcept
{
    return alignment == 0 ? malloc(size) : _aligned_malloc(size, alignment);
}

void processRelease(void* memory, size_t alignment) noexcept
{
    if (alignment == 0)
        free(memory);
    else
        _aligned_free(memory);
}
