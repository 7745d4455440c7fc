#pragma once

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

// Fixed-size memory blocks for wrappers. Walking a tree makes and drops wrappers by the thousand;
// the general allocator sorts and merges such numbers of small blocks at every large request, a
// free list per thread just hands them back. Blocks freed on another thread join that thread's list;
// a finishing thread leaves its list to the others. Internal to the model.
class DDXMLWrapperPool {
public:
    static constexpr size_t blockSize = 128;

    // Room for `size` bytes (at most blockSize), aligned like any object. Inline: a walk takes and
    // returns one block per child.
    static void* allocate(size_t size)
    {
        if (size > blockSize)
            throw std::bad_alloc();
        FreeBlock* block = s_free;
        if (!block) [[unlikely]]
            block = refill();
        s_free = block->next;
        unpoison(block);
        return block;
    }

    static void deallocate(void* pointer) noexcept
    {
        auto* block = static_cast<FreeBlock*>(pointer);
        block->next = s_free;
        s_free = block;
        poison(block);
    }

private:
    struct FreeBlock {
        FreeBlock* next;
    };

    // Fills the thread's list from blocks left by finished threads or from a new chunk; answers its first block.
    static FreeBlock* refill();
    static void handOverOnThreadExit();

    // A free block stays poisoned past its link, so that a wrapper used after its release is reported.
    static void poison([[maybe_unused]] FreeBlock* block)
    {
#if defined(__SANITIZE_ADDRESS__)
        ASAN_POISON_MEMORY_REGION(reinterpret_cast<char*>(block) + sizeof(FreeBlock), blockSize - sizeof(FreeBlock));
#endif
    }

    static void unpoison([[maybe_unused]] FreeBlock* block)
    {
#if defined(__SANITIZE_ADDRESS__)
        ASAN_UNPOISON_MEMORY_REGION(block, blockSize);
#endif
    }

    // The thread's free blocks. A plain pointer stays usable while the thread's other objects are
    // destroyed; blocks freed after the hand-over are simply not reused.
    static constinit thread_local FreeBlock* s_free;
};
