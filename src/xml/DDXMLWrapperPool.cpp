#include "xml/DDXMLWrapperPool.h"

#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// A free block stays poisoned past its link, so that a wrapper used after its release is reported.
#define DDXML_POISON_FREE_BLOCK(block) ASAN_POISON_MEMORY_REGION(reinterpret_cast<char*>(block) + sizeof(FreeBlock), DDXMLWrapperPool::blockSize - sizeof(FreeBlock))
#define DDXML_UNPOISON_BLOCK(block) ASAN_UNPOISON_MEMORY_REGION(block, DDXMLWrapperPool::blockSize)
#else
#define DDXML_POISON_FREE_BLOCK(block) ((void)(block))
#define DDXML_UNPOISON_BLOCK(block) ((void)(block))
#endif

namespace {

constexpr size_t blocksPerChunk = 256;

struct FreeBlock {
    FreeBlock* next;
};

struct alignas(std::max_align_t) Block {
    unsigned char bytes[DDXMLWrapperPool::blockSize];
};

// Chunks live as long as the process: a block may be freed on any thread at any time.
struct Shared {
    std::mutex lock;
    std::vector<std::unique_ptr<Block[]>> chunks;
    // Blocks left by finished threads.
    FreeBlock* orphans = nullptr;
};

Shared& shared()
{
    static Shared* instance = new Shared;
    return *instance;
}

// The thread's free blocks. A plain pointer stays usable while the thread's other objects are
// destroyed; blocks freed after the hand-over below are simply not reused.
thread_local FreeBlock* t_free = nullptr;

// Hands the thread's free blocks to the others when the thread finishes.
struct HandOver {
    ~HandOver()
    {
        FreeBlock* first = std::exchange(t_free, nullptr);
        if (!first)
            return;
        FreeBlock* last = first;
        while (last->next)
            last = last->next;
        std::lock_guard guard(shared().lock);
        last->next = shared().orphans;
        shared().orphans = first;
    }
};

thread_local HandOver t_handOver;

[[gnu::noinline]] void refill()
{
    (void)&t_handOver;
    Shared& pool = shared();
    std::lock_guard guard(pool.lock);
    if (pool.orphans) {
        t_free = std::exchange(pool.orphans, nullptr);
        return;
    }
    auto chunk = std::make_unique_for_overwrite<Block[]>(blocksPerChunk);
    for (size_t index = 0; index < blocksPerChunk; ++index) {
        auto* block = reinterpret_cast<FreeBlock*>(&chunk[index]);
        block->next = t_free;
        t_free = block;
        DDXML_POISON_FREE_BLOCK(block);
    }
    pool.chunks.push_back(std::move(chunk));
}

}

void* DDXMLWrapperPool::allocate(size_t size)
{
    if (size > blockSize)
        throw std::bad_alloc();
    if (!t_free)
        refill();
    FreeBlock* block = t_free;
    t_free = block->next;
    DDXML_UNPOISON_BLOCK(block);
    return block;
}

void DDXMLWrapperPool::deallocate(void* pointer) noexcept
{
    auto* block = static_cast<FreeBlock*>(pointer);
    block->next = t_free;
    t_free = block;
    DDXML_POISON_FREE_BLOCK(block);
}
