// Windows gives large pages only to a process holding the right to lock
// memory, and only for memory reserved as such: the hint is nothing here.
#include "memory.h"

void adviseLargeArray(void*, size_t)
{
}
