#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

// Small-block memory for the decoder's objects. Blocks come in sizes of 16-byte steps up to
// `largestPooledSize`, from per-thread free lists backed by a shared list, so that building and
// destroying a decoded tree costs a few instructions per object. A block may be freed on any thread.
// Memory given to the pool stays with it for reuse; larger requests go to the global allocator.
// Blocks are aligned to 8 bytes.
class JKPool {
public:
    static constexpr size_t granularity = 16;
    static constexpr size_t alignment = 8;
    static constexpr size_t largestPooledSize = 512;
    static_assert(std::has_single_bit(largestPooledSize));

    static constexpr size_t sizeClassCount = largestPooledSize / granularity;
    static constexpr size_t sizeClassOf(size_t bytes) { return bytes ? (bytes - 1) / granularity : 0; }
    static constexpr size_t blockSizeOf(size_t sizeClass) { return (sizeClass + 1) * granularity; }

    // What std::allocate_shared puts ahead of the object in its block: a table pointer and two counts.
    static constexpr size_t sharedCountSize = 16;
    // The largest object std::allocate_shared can make in a pooled block.
    static constexpr size_t largestSharedObjectSize = largestPooledSize - sharedCountSize;
    // Whether an object made by std::allocate_shared fills a block of the largest size, whose start,
    // its count, startOfLargestBlockHolding() then finds.
    static constexpr bool fillsLargestBlockWhenShared(size_t objectSize)
    {
        return objectSize <= largestSharedObjectSize && sizeClassOf(objectSize + sharedCountSize) == sizeClassCount - 1;
    }

    // Inline, since the decoder allocates for nearly every container and string: most calls only
    // take the next block from the thread's current word of free blocks.
    static void* allocate(size_t bytes)
    {
        size_t sizeClass = sizeClassOf(bytes);
        if (sizeClass < sizeClassCount) {
            FreeBlocks& blocks = t_freeBlocks[sizeClass];
            if (blocks.mask) {
                auto index = static_cast<size_t>(std::countr_zero(blocks.mask));
                blocks.mask &= blocks.mask - 1;
                size_t size = blockSizeOf(sizeClass);
                char* block = blocks.first + index * size;
#if defined(__SANITIZE_ADDRESS__)
                ASAN_UNPOISON_MEMORY_REGION(block, size);
#endif
                return block;
            }
        }
        return allocateSlowly(bytes);
    }
    // Needs no size: pooled blocks start on 16-byte boundaries, larger ones 8 bytes past one.
    static void deallocate(void*);

    // Where the block of the largest pooled size that holds the address starts, when it is one:
    // those blocks start on boundaries of their size.
    static const void* startOfLargestBlockHolding(const void* address)
    {
        return reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(address) & ~uintptr_t(largestPooledSize - 1));
    }

    // The calling thread's next free blocks of one size: bit i of `mask` stands for the block at
    // `first` + i x the size. Only the pool changes them.
    struct FreeBlocks {
        uint64_t mask;
        char* first;
    };

private:
    friend struct JKPoolThreadState;
    static void* allocateSlowly(size_t bytes);

    static constinit thread_local FreeBlocks t_freeBlocks[sizeClassCount];
};

// A standard allocator over JKPool, for std::allocate_shared and containers.
template<typename T>
class JKPoolAllocator {
    static_assert(alignof(T) <= JKPool::alignment);

public:
    using value_type = T;

    JKPoolAllocator() = default;
    template<typename U>
    JKPoolAllocator(const JKPoolAllocator<U>&) { }

    T* allocate(size_t count) { return static_cast<T*>(JKPool::allocate(count * sizeof(T))); }
    void deallocate(T* pointer, size_t) { JKPool::deallocate(pointer); }

    template<typename U>
    bool operator==(const JKPoolAllocator<U>&) const { return true; }
};

// The length JKMakeSharedWithTrailingBytes() adds to the block it is making on this thread.
constinit inline thread_local size_t t_JKPendingTrailingBytes = 0;

// A standard allocator over JKPool for std::allocate_shared that makes the shared block longer by the
// `trailingBytes` given to JKMakeSharedWithTrailingBytes(), for storage the object keeps in its own
// block. The allocator is kept in the control block, so it holds nothing: the length comes through
// the thread, from the call that makes the block.
template<typename T>
class JKPoolAllocatorWithTrailingBytes {
    static_assert(alignof(T) <= JKPool::alignment);

public:
    using value_type = T;

    JKPoolAllocatorWithTrailingBytes() = default;
    template<typename U>
    JKPoolAllocatorWithTrailingBytes(const JKPoolAllocatorWithTrailingBytes<U>&) { }

    T* allocate(size_t count) { return static_cast<T*>(JKPool::allocate(count * sizeof(T) + t_JKPendingTrailingBytes)); }
    void deallocate(T* pointer, size_t) { JKPool::deallocate(pointer); }

    template<typename U>
    bool operator==(const JKPoolAllocatorWithTrailingBytes<U>&) const { return true; }
};

// std::allocate_shared over JKPool with `trailingBytes` more in the block. The block ends with the
// object, so the storage starts right after it.
template<typename T, typename... Arguments>
std::shared_ptr<T> JKMakeSharedWithTrailingBytes(size_t trailingBytes, Arguments&&... arguments)
{
    t_JKPendingTrailingBytes = trailingBytes;
    return std::allocate_shared<T>(JKPoolAllocatorWithTrailingBytes<T>(), std::forward<Arguments>(arguments)...);
}
