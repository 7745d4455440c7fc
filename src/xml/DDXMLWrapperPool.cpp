#include "xml/DDXMLWrapperPool.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace {

constexpr size_t blocksPerChunk = 256;

struct alignas(std::max_align_t) Block {
    unsigned char bytes[DDXMLWrapperPool::blockSize];
};

// Chunks live as long as the process: a block may be freed on any thread at any time.
struct Shared {
    std::mutex lock;
    std::vector<std::unique_ptr<Block[]>> chunks;
    // Blocks left by finished threads.
    void* orphans = nullptr;
};

Shared& shared()
{
    static Shared* instance = new Shared;
    return *instance;
}

}

constinit thread_local DDXMLWrapperPool::FreeBlock* DDXMLWrapperPool::s_free = nullptr;

// Hands the thread's free blocks to the others when the thread finishes.
void DDXMLWrapperPool::handOverOnThreadExit()
{
    FreeBlock* first = std::exchange(s_free, nullptr);
    if (!first)
        return;
    FreeBlock* last = first;
    while (last->next)
        last = last->next;
    std::lock_guard guard(shared().lock);
    last->next = static_cast<FreeBlock*>(shared().orphans);
    shared().orphans = first;
}

DDXMLWrapperPool::FreeBlock* DDXMLWrapperPool::refill()
{
    struct HandOver {
        ~HandOver() { handOverOnThreadExit(); }
    };
    static thread_local HandOver handOver;
    (void)&handOver;

    Shared& pool = shared();
    std::lock_guard guard(pool.lock);
    if (pool.orphans) {
        s_free = static_cast<FreeBlock*>(std::exchange(pool.orphans, nullptr));
        return s_free;
    }
    auto chunk = std::make_unique_for_overwrite<Block[]>(blocksPerChunk);
    for (size_t index = 0; index < blocksPerChunk; ++index) {
        auto* block = reinterpret_cast<FreeBlock*>(&chunk[index]);
        block->next = s_free;
        s_free = block;
        poison(block);
    }
    pool.chunks.push_back(std::move(chunk));
    return s_free;
}
