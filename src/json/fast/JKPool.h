#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

// Small-block memory for the decoder's objects. Blocks come in sizes of 16-byte steps up to
// `largestPooledSize`, from per-thread free lists backed by a shared list, so that building and
// destroying a decoded tree costs a few instructions per object. A block may be freed on any thread.
// Memory given to the pool stays with it for reuse; larger requests go to the global allocator.
class JKPool {
public:
    static constexpr size_t granularity = 16;
    static constexpr size_t largestPooledSize = 512;

    static constexpr size_t sizeClassCount = largestPooledSize / granularity;
    static constexpr size_t sizeClassOf(size_t bytes) { return bytes ? (bytes - 1) / granularity : 0; }
    static constexpr size_t blockSizeOf(size_t sizeClass) { return (sizeClass + 1) * granularity; }

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
    static void deallocate(void*, size_t bytes);

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

// A standard allocator over JKPool for std::allocate_shared that makes the shared block `trailingBytes`
// longer, for storage the object keeps in its own block. The shared block ends with the object, so the
// storage starts right after it. The allocator is kept in the block, so it holds only the length.
template<typename T>
class JKPoolAllocatorWithTrailingBytes {
    static_assert(alignof(T) <= JKPool::granularity);

public:
    using value_type = T;

    explicit JKPoolAllocatorWithTrailingBytes(size_t trailingBytes)
        : m_trailingBytes(trailingBytes)
    {
    }
    template<typename U>
    JKPoolAllocatorWithTrailingBytes(const JKPoolAllocatorWithTrailingBytes<U>& other)
        : m_trailingBytes(other.m_trailingBytes)
    {
    }

    T* allocate(size_t count) { return static_cast<T*>(JKPool::allocate(count * sizeof(T) + m_trailingBytes)); }
    void deallocate(T* pointer, size_t count) { JKPool::deallocate(pointer, count * sizeof(T) + m_trailingBytes); }

    template<typename U>
    bool operator==(const JKPoolAllocatorWithTrailingBytes<U>& other) const { return m_trailingBytes == other.m_trailingBytes; }

private:
    template<typename U>
    friend class JKPoolAllocatorWithTrailingBytes;

    size_t m_trailingBytes;
};
