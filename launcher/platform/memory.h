// The large arrays the exports fill once and walk: mesh arrays read from
// files, the texture-coordinate pool's tables, the archive's face counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

// The system's large pages where it gives them for the asking (Linux:
// 2 MiB), 0 where it has none to give.
size_t largePageBytes();

// Asks the system to back memory of whole large pages, starting on one, with
// large pages: filling it then takes a page fault per 2 MiB rather than per
// 4 KiB (in a virtual machine a fault can cost 15 us), and walking it at
// random misses the address cache far less. Nothing on other systems. Called
// before the memory is first written.
void adviseLargePages(void* data, size_t bytes);

// An array of at least one large page is given memory aligned to them and a
// whole number of them, all of it advised: an array that began and ended
// anywhere would leave up to two large pages' worth of it on small ones.
// The answer is that alignment, or 0 for an ordinary block.
inline size_t largeArrayAlignment(size_t bytes)
{
    size_t page = largePageBytes();
    return page && bytes >= page && bytes <= SIZE_MAX - page ? page : 0;
}

// Memory for such an array; null when memory is short.
inline void* allocateLargeArray(size_t bytes, size_t alignment) noexcept
{
    if (!alignment)
        return ::operator new(bytes, std::nothrow);
    size_t rounded = (bytes + alignment - 1) / alignment * alignment;
    void* data = ::operator new(rounded, std::align_val_t(alignment), std::nothrow);
    if (data)
        adviseLargePages(data, rounded);
    return data;
}

inline void releaseLargeArray(void* data, size_t alignment) noexcept
{
    if (alignment)
        ::operator delete(data, std::align_val_t(alignment));
    else
        ::operator delete(data);
}

struct LargeArrayRelease
{
    size_t alignment = 0;
    void operator()(void* data) const noexcept { releaseLargeArray(data, alignment); }
};

// An array of plain entries with memory of its own kind, released as it was
// given.
template <typename T>
using LargeArray = std::unique_ptr<T[], LargeArrayRelease>;

// A new array of entries, left uninitialised; null when memory is short or
// the size does not fit.
template <typename T>
LargeArray<T> newLargeArray(size_t entries)
{
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    size_t bytes = 0;
    if (__builtin_mul_overflow(entries, sizeof(T), &bytes))
        return nullptr;
    LargeArrayRelease release{largeArrayAlignment(bytes)};
    return LargeArray<T>(static_cast<T*>(allocateLargeArray(bytes, release.alignment)), release);
}

// The same memory for a vector: its blocks are given and released by size,
// and the alignment follows from the size alone.
template <typename T>
struct LargeArrayAllocator
{
    using value_type = T;
    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&)
    {
    }
    T* allocate(size_t entries)
    {
        size_t bytes = 0;
        if (__builtin_mul_overflow(entries, sizeof(T), &bytes))
            throw std::bad_array_new_length();
        void* data = allocateLargeArray(bytes, largeArrayAlignment(bytes));
        if (!data)
            throw std::bad_alloc();
        return static_cast<T*>(data);
    }
    void deallocate(T* data, size_t entries) noexcept
    {
        releaseLargeArray(data, largeArrayAlignment(entries * sizeof(T)));
    }
    template <typename U>
    bool operator==(const LargeArrayAllocator<U>&) const
    {
        return true;
    }
};

template <typename T>
using LargeVector = std::vector<T, LargeArrayAllocator<T>>;
