#pragma once

#include <cstddef>

// Small-block memory for the decoder's objects. Blocks come in sizes of 16-byte steps up to
// `largestPooledSize`, from per-thread free lists backed by a shared list, so that building and
// destroying a decoded tree costs a few instructions per object. A block may be freed on any thread.
// Memory given to the pool stays with it for reuse; larger requests go to the global allocator.
class JKPool {
public:
    static constexpr size_t granularity = 16;
    static constexpr size_t largestPooledSize = 512;

    static void* allocate(size_t bytes);
    static void deallocate(void*, size_t bytes);
};

// A standard allocator over JKPool, for std::allocate_shared and containers.
template<typename T>
class JKPoolAllocator {
    static_assert(alignof(T) <= JKPool::granularity);

public:
    using value_type = T;

    JKPoolAllocator() = default;
    template<typename U>
    JKPoolAllocator(const JKPoolAllocator<U>&) { }

    T* allocate(size_t count) { return static_cast<T*>(JKPool::allocate(count * sizeof(T))); }
    void deallocate(T* pointer, size_t count) { JKPool::deallocate(pointer, count * sizeof(T)); }

    template<typename U>
    bool operator==(const JKPoolAllocator<U>&) const { return true; }
};
