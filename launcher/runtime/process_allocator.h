// Where the main library's memory comes from: the allocator of the process
// it is loaded in, so that the host's accounting and limits see it, reached
// without the library ever defining or replacing anything process-wide.
#pragma once

#include <cstddef>

// Null when the process is out of memory; the process's new-handler, if it
// has one, has already been tried. Alignment 0 is the default alignment.
void* processAllocate(size_t size, size_t alignment) noexcept;
// Gives back what processAllocate gave, with the same alignment.
void processRelease(void* memory, size_t alignment) noexcept;
