// A hint for the large arrays the exports fill once and walk: mesh arrays
// read from files, the texture-coordinate pool's tables.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

// Asks the system to back the array with its large pages, where it has them
// for the asking (Linux: 2 MiB pages): filling a fresh array then takes a
// page fault per 2 MiB rather than per 4 KiB, and walking it at random misses
// the address cache far less. Nothing on other systems, or for an array too
// small to hold a large page. Called before the array is first written.
void adviseLargeArray(void* data, size_t bytes);

// A new array of entries, left uninitialised, with the hint given; null when
// memory is short.
template <typename T>
T* newLargeArray(size_t entries)
{
    T* array = new (std::nothrow) T[entries];
    adviseLargeArray(array, entries * sizeof(T));
    return array;
}

// Reserves room for entries in an empty vector with the hint given.
template <typename T>
void reserveLargeArray(std::vector<T>& array, size_t entries)
{
    array.reserve(entries);
    adviseLargeArray(array.data(), array.capacity() * sizeof(T));
}
