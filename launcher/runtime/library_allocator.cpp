// The main library's operator new and delete, its own: the library is
// linked with its C++ runtime and Alembic inside it, and nothing of them is
// exported, so these serve every allocation made in the library and none
// outside it. Memory comes from the process's allocator; when that fails
// and work under way holds a reserve, the reserve is given back and the
// allocation tried again. The host's new-handler and its allocations are
// never touched.
#include "common/allocation_reserve.h"
#include "process_allocator.h"

#include <new>

namespace
{
void* allocate(size_t size, size_t alignment) noexcept
{
    size = size ? size : 1;
    for (;;)
        if (void* memory = processAllocate(size, alignment); memory || !releaseAllocationReserve())
            return memory;
}

void* allocateOrThrow(size_t size, size_t alignment)
{
    if (void* memory = allocate(size, alignment))
        return memory;
    throw std::bad_alloc();
}
}

void* operator new(size_t size) { return allocateOrThrow(size, 0); }
void* operator new[](size_t size) { return allocateOrThrow(size, 0); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return allocate(size, 0); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return allocate(size, 0); }
void* operator new(size_t size, std::align_val_t alignment) { return allocateOrThrow(size, size_t(alignment)); }
void* operator new[](size_t size, std::align_val_t alignment) { return allocateOrThrow(size, size_t(alignment)); }
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size, size_t(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size, size_t(alignment));
}

void operator delete(void* memory) noexcept { processRelease(memory, 0); }
void operator delete[](void* memory) noexcept { processRelease(memory, 0); }
void operator delete(void* memory, size_t) noexcept { processRelease(memory, 0); }
void operator delete[](void* memory, size_t) noexcept { processRelease(memory, 0); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { processRelease(memory, 0); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { processRelease(memory, 0); }
void operator delete(void* memory, std::align_val_t alignment) noexcept { processRelease(memory, size_t(alignment)); }
void operator delete[](void* memory, std::align_val_t alignment) noexcept { processRelease(memory, size_t(alignment)); }
void operator delete(void* memory, size_t, std::align_val_t alignment) noexcept
{
    processRelease(memory, size_t(alignment));
}
void operator delete[](void* memory, size_t, std::align_val_t alignment) noexcept
{
    processRelease(memory, size_t(alignment));
}
void operator delete(void* memory, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    processRelease(memory, size_t(alignment));
}
void operator delete[](void* memory, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    processRelease(memory, size_t(alignment));
}
