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
// batch, so that no block is touched to move them.
constexpr size_t localLimit = 16384;
// How many blocks ahead allocation fetches the block it will hand out.
constexpr size_t prefetchDistance = 4;

size_t blockSize(size_t sizeClass)
{
    return (sizeClass + 1) * JKPool::granularity;
}

// Free blocks of one size as an array of addresses rather than a list threaded through the blocks:
// taking one reads no freed memory, and the next few can be fetched ahead of use. Trivially
// destructible, so that a thread's stacks need no guarded initialisation; the storage belongs to
// whichever pool holds the stack.
struct FreeStack {
    void** items = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    void push(void* block)
    {
        if (count == capacity)
            grow();
        items[count++] = block;
    }

    void* pop()
    {
        void* block = items[--count];
        if (count >= prefetchDistance)
            __builtin_prefetch(items[count - prefetchDistance], 1);
        return block;
    }

    void grow()
    {
        size_t newCapacity = capacity ? capacity * 2 : 256;
        auto* newItems = static_cast<void**>(::operator new(newCapacity * sizeof(void*)));
        for (size_t index = 0; index < count; ++index)
            newItems[index] = items[index];
        ::operator delete(items);
        items = newItems;
        capacity = newCapacity;
    }

    void releaseStorage()
    {
        ::operator delete(items);
        *this = FreeStack();
    }
};

// Batches of blocks from threads with too many and from threads that have ended. Never destroyed,
// since threads may free blocks while the process ends.
struct SharedPool {
    std::mutex lock;
    std::vector<FreeStack> batches[classCount];
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

struct LocalPool {
    FreeStack stacks[classCount];
    char* chunkCursor;
    char* chunkEnd;
    bool hasEnded;
};

constinit thread_local LocalPool localPool {};

[[gnu::noinline]] void giveToSharedPool(size_t sizeClass, FreeStack batch)
{
    auto& shared = sharedPool();
    std::lock_guard guard(shared.lock);
    shared.batches[sizeClass].push_back(batch);
    shared.batchCounts[sizeClass].store(shared.batches[sizeClass].size(), std::memory_order_relaxed);
}

// Hands a thread's free blocks to the shared pool when the thread ends.
struct LocalPoolRetirement {
    bool isArmed = false;
    ~LocalPoolRetirement()
    {
        for (size_t sizeClass = 0; sizeClass < classCount; ++sizeClass) {
            FreeStack& stack = localPool.stacks[sizeClass];
            if (stack.count)
                giveToSharedPool(sizeClass, std::exchange(stack, FreeStack()));
            else
                stack.releaseStorage();
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
    FreeStack& stack = localPool.stacks[sizeClass];
    auto& shared = sharedPool();
    if (shared.batchCounts[sizeClass].load(std::memory_order_relaxed)) {
        std::lock_guard guard(shared.lock);
        auto& batches = shared.batches[sizeClass];
        if (!batches.empty()) {
            stack.releaseStorage();
            stack = batches.back();
            batches.pop_back();
            shared.batchCounts[sizeClass].store(batches.size(), std::memory_order_relaxed);
        }
    }
    if (stack.count)
        return stack.pop();
    return carveBlock(blockSize(sizeClass));
}

// The thread now owns stack storage, which must go to the shared pool when the thread ends.
[[gnu::noinline]] void growLocalStack(FreeStack& stack)
{
    localPoolRetirement.isArmed = true;
    stack.grow();
}

[[gnu::noinline]] void giveToSharedPoolAfterEnd(size_t sizeClass, void* block)
{
    FreeStack single;
    single.push(block);
    giveToSharedPool(sizeClass, single);
}

}

void* JKPool::allocate(size_t bytes)
{
    if (bytes > largestPooledSize)
        return ::operator new(bytes);
    size_t sizeClass = bytes ? (bytes - 1) / granularity : 0;
    FreeStack& stack = localPool.stacks[sizeClass];
    void* block = stack.count ? stack.pop() : refill(sizeClass);
    UNPOISON_BLOCK(block, blockSize(sizeClass));
    return block;
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
    // A free block must not be touched until it is handed out again.
    POISON_BLOCK(pointer, blockSize(sizeClass));
    if (localPool.hasEnded) {
        giveToSharedPoolAfterEnd(sizeClass, pointer);
        return;
    }
    FreeStack& stack = localPool.stacks[sizeClass];
    if (stack.count == stack.capacity)
        growLocalStack(stack);
    stack.push(pointer);
    if (stack.count >= localLimit)
        giveToSharedPool(sizeClass, std::exchange(stack, FreeStack()));
}
