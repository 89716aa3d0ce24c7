// The process's allocator on Linux: its global operator new and delete,
// whoever defines them (the host, a sanitizer's runtime, libstdc++), looked
// up by name since the library's own are local to it.
#include "process_allocator.h"

#include <dlfcn.h>

#include <cstdlib>
#include <new>

namespace
{
using Allocate = void* (*)(size_t, const std::nothrow_t&) noexcept;
using AllocateAligned = void* (*)(size_t, std::align_val_t, const std::nothrow_t&) noexcept;
using Release = void (*)(void*) noexcept;
using ReleaseAligned = void (*)(void*, std::align_val_t) noexcept;

struct ProcessAllocator
{
    Allocate allocate = nullptr;
    AllocateAligned allocateAligned = nullptr;
    Release release = nullptr;
    ReleaseAligned releaseAligned = nullptr;
};

ProcessAllocator lookUp()
{
    ProcessAllocator found = {
        reinterpret_cast<Allocate>(dlsym(RTLD_DEFAULT, "_ZnwmRKSt9nothrow_t")),
        reinterpret_cast<AllocateAligned>(dlsym(RTLD_DEFAULT, "_ZnwmSt11align_val_tRKSt9nothrow_t")),
        reinterpret_cast<Release>(dlsym(RTLD_DEFAULT, "_ZdlPv")),
        reinterpret_cast<ReleaseAligned>(dlsym(RTLD_DEFAULT, "_ZdlPvSt11align_val_t")),
    };
    // A process without a C++ runtime of its own: its malloc serves, for
    // every block alike.
    if (!found.allocate || !found.allocateAligned || !found.release || !found.releaseAligned)
        return {};
    return found;
}

const ProcessAllocator& processAllocator()
{
    static const ProcessAllocator allocator = lookUp();
    return allocator;
}
}

namespace __gnu_cxx
{
void __freeres();
}

// The C++ runtime inside the library sets a pool aside for exceptions thrown
// when memory is short, which nothing frees: it goes back when the library
// is unloaded, as a host may load and unload it many times.
__attribute__((destructor)) static void releaseRuntimePool()
{
    __gnu_cxx::__freeres();
}

void* processAllocate(size_t size, size_t alignment) noexcept
{
    const ProcessAllocator& process = processAllocator();
    if (alignment == 0)
        return process.allocate ? process.allocate(size, std::nothrow) : malloc(size);
    if (process.allocateAligned)
        return process.allocateAligned(size, std::align_val_t(alignment), std::nothrow);
    return aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void processRelease(void* memory, size_t alignment) noexcept
{
    const ProcessAllocator& process = processAllocator();
    if (alignment == 0 && process.release)
        process.release(memory);
    else if (alignment != 0 && process.releaseAligned)
        process.releaseAligned(memory, std::align_val_t(alignment));
    else
        free(memory);
}
