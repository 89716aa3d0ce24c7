// Memory set aside for work that must be able to finish once it has begun.
// A library whose objects write their last parts from destructors (Alembic
// does) cannot meet a failed allocation halfway: while a reserve lives, the
// library's allocator gives it back at the first allocation that fails and
// tries again, and the work learns from used() that it must stop.
#pragma once

#include <cstddef>

class AllocationReserve
{
  public:
    AllocationReserve();
    ~AllocationReserve();
    AllocationReserve(const AllocationReserve&) = delete;
    AllocationReserve& operator=(const AllocationReserve&) = delete;

    // True once the reserve was given back: memory ran out meanwhile.
    bool used() const { return spent; }

  private:
    friend bool releaseAllocationReserve();
    static constexpr size_t kBytes = size_t(4) << 20;
    char* memory = nullptr;
    bool spent = false;
    AllocationReserve* outer = nullptr;
};

// Gives back the reserve of the work under way on this thread, for the
// library's allocator after a failed allocation; false when there is none
// left to give, and the allocation fails for good.
bool releaseAllocationReserve();
