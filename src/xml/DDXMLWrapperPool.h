#pragma once

#include <cstddef>

// Fixed-size memory blocks for wrappers. Walking a tree makes and drops wrappers by the thousand;
// the general allocator sorts and merges such numbers of small blocks at every large request, a
// free list per thread just hands them back. Blocks freed on another thread join that thread's list;
// a finishing thread leaves its list to the others. Internal to the model.
class DDXMLWrapperPool {
public:
    static constexpr size_t blockSize = 128;

    // Room for `size` bytes (at most blockSize), aligned like any object.
    static void* allocate(size_t size);
    static void deallocate(void* block) noexcept;
};
