// Windows gives large pages only to a process holding the right to lock
// memory, and only for memory reserved as such: none are asked for here.
#include "memory.h"

size_t largePageBytes()
{
    return 0;
}

void adviseLargePages(void*, size_t)
{
}
