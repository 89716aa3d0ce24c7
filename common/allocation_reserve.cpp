#include "allocation_reserve.h"

#include <cstdlib>
#include <cstring>

// The reserve of the work under way on this thread, which operator new, taking
// no context, can only find here; another thread's allocations never reach it.
static thread_local AllocationReserve* t_active = nullptr;

AllocationReserve::AllocationReserve()
{
    // Touched, so that it is memory for real rather than a promise.
    memory = static_cast<char*>(malloc(kBytes));
    if (memory)
        memset(memory, 0, kBytes);
    outer = t_active;
    t_active = this;
}

AllocationReserve::~AllocationReserve()
{
    t_active = outer;
    free(memory);
}

bool releaseAllocationReserve()
{
    AllocationReserve* reserve = t_active;
    if (!reserve || !reserve->memory)
        return false;
    free(reserve->memory);
    reserve->memory = nullptr;
    reserve->spent = true;
    return true;
}
