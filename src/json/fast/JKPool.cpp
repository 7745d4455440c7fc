#include "json/fast/JKPool.h"

#include <atomic>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POISON_BLOCK(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define UNPOISON_BLOCK(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define POISON_BLOCK(address, size) ((void)(address), (void)(size))
#define UNPOISON_BLOCK(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr size_t classCount = JKPool::largestPooledSize / JKPool::granularity;
constexpr size_t chunkSize = 256 * 1024;
// A thread keeps at most this many free blocks of a size; past it, they go to the shared pool as one
// batch, so that no list is walked block by block.
constexpr size_t localLimit = 16384;

struct FreeBlock {
    FreeBlock* next;
};

struct FreeList {
    FreeBlock* head = nullptr;
    size_t count = 0;

    void push(FreeBlock* block)
    {
        block->next = head;
        head = block;
        ++count;
    }

    FreeBlock* pop()
    {
        FreeBlock* block = head;
        head = block->next;
        --count;
        // The next pop reads the next block's link; fetch it while the caller works.
        if (head)
            __builtin_prefetch(head);
        return block;
    }
};

size_t blockSize(size_t sizeClass)
{
    return (sizeClass + 1) * JKPool::granularity;
}

// Batches of blocks freed by threads with too many, and by threads that have ended. Never destroyed,
// since threads may free blocks while the process ends.
struct SharedPool {
    std::mutex lock;
    std::vector<FreeList> batches[classCount];
    // Read without the lock, so that a thread carving fresh blocks does not take it for nothing.
    std::atomic<size_t> batchCounts[classCount] {};
    // Every chunk stays referenced here, so leak checkers see pooled memory as reachable.
    std::vector<void*> chunks;
};

SharedPool& sharedPool()
{
    static auto* pool = new SharedPool;
    return *pool;
}

// The shared pool's lock must be held.
void pushBatch(SharedPool& shared, size_t sizeClass, FreeList batch)
{
    shared.batches[sizeClass].push_back(batch);
    shared.batchCounts[sizeClass].store(shared.batches[sizeClass].size(), std::memory_order_relaxed);
}

struct LocalPool {
    FreeList lists[classCount];
    char* chunkCursor;
    char* chunkEnd;
    bool hasEnded;
};

constinit thread_local LocalPool localPool {};

// Hands a thread's free blocks to the shared pool when the thread ends.
struct LocalPoolRetirement {
    bool isArmed = false;
    ~LocalPoolRetirement()
    {
        auto& shared = sharedPool();
        std::lock_guard guard(shared.lock);
        for (size_t sizeClass = 0; sizeClass < classCount; ++sizeClass) {
            FreeList& list = localPool.lists[sizeClass];
            if (list.head)
                pushBatch(shared, sizeClass, std::exchange(list, FreeList()));
        }
        localPool.hasEnded = true;
    }
};

thread_local LocalPoolRetirement localPoolRetirement;

[[gnu::noinline]] void* carveBlock(size_t size)
{
    if (static_cast<size_t>(localPool.chunkEnd - localPool.chunkCursor) < size) {
        auto* chunk = static_cast<char*>(::operator new(chunkSize));
        {
            auto& shared = sharedPool();
            std::lock_guard guard(shared.lock);
            shared.chunks.push_back(chunk);
        }
        localPool.chunkCursor = chunk;
        localPool.chunkEnd = chunk + chunkSize;
    }
    void* block = localPool.chunkCursor;
    localPool.chunkCursor += size;
    return block;
}

// Out of line, so that the common path of allocate() stays a handful of instructions.
[[gnu::noinline]] void* refill(size_t sizeClass)
{
    localPoolRetirement.isArmed = true;
    FreeList& list = localPool.lists[sizeClass];
    auto& shared = sharedPool();
    if (shared.batchCounts[sizeClass].load(std::memory_order_relaxed)) {
        std::lock_guard guard(shared.lock);
        auto& batches = shared.batches[sizeClass];
        if (!batches.empty()) {
            list = batches.back();
            batches.pop_back();
            shared.batchCounts[sizeClass].store(batches.size(), std::memory_order_relaxed);
        }
    }
    if (list.head)
        return list.pop();
    return carveBlock(blockSize(sizeClass));
}

}

void* JKPool::allocate(size_t bytes)
{
    if (bytes > largestPooledSize)
        return ::operator new(bytes);
    size_t sizeClass = bytes ? (bytes - 1) / granularity : 0;
    FreeList& list = localPool.lists[sizeClass];
    void* block = list.head ? list.pop() : refill(sizeClass);
    UNPOISON_BLOCK(block, blockSize(sizeClass));
    return block;
}

namespace {

[[gnu::noinline]] void giveToSharedPool(size_t sizeClass, FreeList batch)
{
    auto& shared = sharedPool();
    std::lock_guard guard(shared.lock);
    pushBatch(shared, sizeClass, batch);
}

}

void JKPool::deallocate(void* pointer, size_t bytes)
{
    if (!pointer)
        return;
    if (bytes > largestPooledSize) {
        ::operator delete(pointer);
        return;
    }
    size_t sizeClass = bytes ? (bytes - 1) / granularity : 0;
    auto* block = static_cast<FreeBlock*>(pointer);
    // Only the link stays readable while the block is free.
    POISON_BLOCK(reinterpret_cast<char*>(block) + sizeof(FreeBlock), blockSize(sizeClass) - sizeof(FreeBlock));
    if (localPool.hasEnded) {
        FreeList single;
        single.push(block);
        giveToSharedPool(sizeClass, single);
        return;
    }
    FreeList& list = localPool.lists[sizeClass];
    list.push(block);
    if (list.count >= localLimit)
        giveToSharedPool(sizeClass, std::exchange(list, FreeList()));
}
