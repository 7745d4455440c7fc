#include "json/fast/JKPool.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <mutex>
#include <new>
#include <sys/single_threaded.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POISON_BLOCK(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#else
#define POISON_BLOCK(address, size) ((void)(address), (void)(size))
#endif

// Memory comes in pages of one block size. A page records its free blocks in a bitmap that any thread
// may set when it frees a block; only the thread that owns the page takes blocks from it, a word of
// 64 at a time, lowest address first, and it turns to its next higher page that has free blocks, or
// back to its lowest one after the last. So a tree built after others were freed still lies mostly in
// address order, which is what makes walking and destroying it fast, and no freed block is ever read
// or written.

// Gives the pool's own functions the thread's free blocks, which the header keeps for allocate().
struct JKPoolThreadState {
    static JKPool::FreeBlocks& freeBlocks(size_t sizeClass) { return JKPool::t_freeBlocks[sizeClass]; }
};

namespace {

constexpr size_t classCount = JKPool::sizeClassCount;
constexpr size_t pageSize = 16 * 1024;
constexpr size_t bitWordCount = pageSize / JKPool::granularity / 64;

// What a free reads (the layout and a bit word) shares the first cache line, for all but the smallest
// blocks: headers are read after they have been pushed out of the caches.
struct alignas(64) Page {
    // Set by frees; the owner clears it before it looks for free blocks.
    std::atomic<bool> mayHaveFreeBlocks;
    uint32_t blockSize;
    uint32_t blockCount;
    uint32_t wordCount;
    // ceil(2^32 / blockSize): offset * reciprocal >> 32 is the index of the block at that offset.
    uint64_t reciprocal;
    char* blocks;
    // 1 marks a free block.
    std::atomic<uint64_t> freeBits[bitWordCount];
};

constexpr size_t headerSize = (sizeof(Page) + 63) / 64 * 64;
static_assert(headerSize % JKPool::granularity == 0, "pooled blocks start on 16-byte boundaries");
static_assert(headerSize <= JKPool::largestPooledSize && pageSize % JKPool::largestPooledSize == 0);

// Blocks of the largest size start on boundaries of that size (which costs a page no block), so that
// any address inside one tells where the block starts.
size_t blocksOffset(size_t blockSize)
{
    return blockSize == JKPool::largestPooledSize ? JKPool::largestPooledSize : headerSize;
}

// Where a larger block starts in the memory that holds it: no pooled block starts there.
constexpr size_t largeBlockOffset = JKPool::alignment;

Page* pageOf(void* block)
{
    return reinterpret_cast<Page*>(reinterpret_cast<uintptr_t>(block) & ~(pageSize - 1));
}

// Plain loads and stores do while the process has a single thread; atomics once it has more.
bool isSingleThreaded()
{
    return __libc_single_threaded;
}

// Empties the value and answers what it held. A locked exchange waits for every store before it to
// finish, which the stores of a decoder building its tree make slow, so a lone thread does without.
template<typename Value>
Value take(std::atomic<Value>& value)
{
    if (!value.load(std::memory_order_relaxed))
        return Value();
    if (isSingleThreaded()) {
        Value held = value.load(std::memory_order_relaxed);
        value.store(Value(), std::memory_order_relaxed);
        return held;
    }
    return value.exchange(Value(), std::memory_order_acquire);
}

void returnBits(Page& page, size_t wordIndex, uint64_t bits)
{
    std::atomic<uint64_t>& word = page.freeBits[wordIndex];
    if (isSingleThreaded())
        word.store(word.load(std::memory_order_relaxed) | bits, std::memory_order_relaxed);
    else
        word.fetch_or(bits, std::memory_order_release);
    if (!page.mayHaveFreeBlocks.load(std::memory_order_relaxed))
        page.mayHaveFreeBlocks.store(true, std::memory_order_release);
}

// A thread's pages of one size, kept in address order. Trivially destructible, so that a thread's
// state needs no guarded initialisation; the thread's retirement releases the storage.
struct PageList {
    Page** pages = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    // Called before a page is taken, so that running out of memory here loses no page.
    void reserveRoomForOneMore()
    {
        if (count < capacity)
            return;
        size_t newCapacity = capacity ? capacity * 2 : 16;
        auto* newPages = static_cast<Page**>(::operator new(newCapacity * sizeof(Page*)));
        std::copy_n(pages, count, newPages);
        ::operator delete(pages);
        pages = newPages;
        capacity = newCapacity;
    }

    // Answers the page's position in the list.
    size_t insert(Page* page)
    {
        reserveRoomForOneMore();
        Page** position = std::upper_bound(pages, pages + count, page);
        std::copy_backward(position, pages + count, pages + count + 1);
        *position = page;
        ++count;
        return static_cast<size_t>(position - pages);
    }

    void releaseStorage()
    {
        ::operator delete(pages);
        *this = PageList();
    }
};

// The rest of a thread's state for one size; its free blocks are in JKPool's thread-local table.
struct SizeClassState {
    Page* current;
    // The word of the current page whose free blocks the thread holds.
    uint32_t word;
    PageList pages;
    // Where the search for a page with free blocks starts: the pages before it had none when it last
    // passed them. Page headers all share one cache set, so looking at each again whenever a page
    // fills up would miss the cache once per page, for every page.
    size_t searchStart;
};

struct LocalPool {
    SizeClassState classes[classCount];
};

constinit thread_local LocalPool localPool {};

// Pages of ended threads, which any thread may take over. Never destroyed, since threads may free
// blocks while the process ends.
struct SharedPool {
    std::mutex lock;
    std::vector<Page*> orphans[classCount];
    // Every page stays referenced here, so leak checkers see pooled memory as reachable.
    std::vector<Page*> allPages;
};

SharedPool& sharedPool()
{
    static auto* pool = new SharedPool;
    return *pool;
}

// Gives a thread's pages to the shared pool when the thread ends.
struct LocalPoolRetirement {
    bool isArmed = false;
    ~LocalPoolRetirement()
    {
        auto& shared = sharedPool();
        std::lock_guard guard(shared.lock);
        for (size_t sizeClass = 0; sizeClass < classCount; ++sizeClass) {
            SizeClassState& state = localPool.classes[sizeClass];
            JKPool::FreeBlocks& blocks = JKPoolThreadState::freeBlocks(sizeClass);
            if (blocks.mask)
                returnBits(*state.current, state.word, blocks.mask);
            blocks = JKPool::FreeBlocks();
            for (size_t index = 0; index < state.pages.count; ++index)
                shared.orphans[sizeClass].push_back(state.pages.pages[index]);
            state.pages.releaseStorage();
            state = SizeClassState();
        }
    }
};

thread_local LocalPoolRetirement localPoolRetirement;

Page* makePage(size_t sizeClass)
{
    auto* page = new (::operator new(pageSize, std::align_val_t(pageSize))) Page();
    page->blockSize = static_cast<uint32_t>(JKPool::blockSizeOf(sizeClass));
    size_t offset = blocksOffset(page->blockSize);
    page->blockCount = static_cast<uint32_t>((pageSize - offset) / page->blockSize);
    page->wordCount = (page->blockCount + 63) / 64;
    page->reciprocal = ((uint64_t(1) << 32) + page->blockSize - 1) / page->blockSize;
    page->blocks = reinterpret_cast<char*>(page) + offset;
    for (uint32_t word = 0; word < page->wordCount; ++word) {
        uint32_t blocksInWord = std::min<uint32_t>(64, page->blockCount - word * 64);
        page->freeBits[word].store(blocksInWord == 64 ? ~uint64_t(0) : (uint64_t(1) << blocksInWord) - 1, std::memory_order_relaxed);
    }
    page->mayHaveFreeBlocks.store(true, std::memory_order_relaxed);
    POISON_BLOCK(page->blocks, page->blockCount * page->blockSize);
    auto& shared = sharedPool();
    std::lock_guard guard(shared.lock);
    try {
        shared.allPages.push_back(page);
    } catch (...) {
        page->~Page();
        ::operator delete(page, std::align_val_t(pageSize));
        throw;
    }
    return page;
}

// The thread's next page that may have free blocks, from where the last search stopped and then,
// before growing, from its lowest page on: its own, then one of an ended thread, then a new one.
Page* nextPage(size_t sizeClass, SizeClassState& state)
{
    for (size_t start : { state.searchStart, size_t(0) }) {
        for (size_t index = start; index < state.pages.count; ++index) {
            Page* page = state.pages.pages[index];
            if (take(page->mayHaveFreeBlocks)) {
                state.searchStart = index;
                return page;
            }
        }
    }
    state.pages.reserveRoomForOneMore();
    Page* page = nullptr;
    {
        auto& shared = sharedPool();
        std::lock_guard guard(shared.lock);
        if (!shared.orphans[sizeClass].empty()) {
            page = shared.orphans[sizeClass].back();
            shared.orphans[sizeClass].pop_back();
        }
    }
    if (!page)
        page = makePage(sizeClass);
    state.searchStart = state.pages.insert(page);
    page->mayHaveFreeBlocks.store(false, std::memory_order_relaxed);
    return page;
}

// Page headers all fall into the same few cache sets, so the header of the page that the thread turns
// to next has usually been pushed out of the caches by the time it does: fetch it while this page's
// blocks are handed out.
void prefetchHeaderOfNextPage(const SizeClassState& state)
{
    size_t next = state.searchStart + 1;
    if (next >= state.pages.count)
        return;
    __builtin_prefetch(state.pages.pages[next]);
}

// Refills the size's free blocks, which allocate() found empty.
void refillFreeBlocks(size_t sizeClass)
{
    localPoolRetirement.isArmed = true;
    SizeClassState& state = localPool.classes[sizeClass];
    for (;;) {
        if (state.current) {
            for (uint32_t word = state.word + 1; word < state.current->wordCount; ++word) {
                if (uint64_t bits = take(state.current->freeBits[word])) {
                    state.word = word;
                    JKPoolThreadState::freeBlocks(sizeClass) = { bits, state.current->blocks + size_t(word) * 64 * JKPool::blockSizeOf(sizeClass) };
                    return;
                }
            }
        }
        state.current = nextPage(sizeClass, state);
        // Scanning starts from the page's first word.
        state.word = UINT32_MAX;
        prefetchHeaderOfNextPage(state);
    }
}

}

constinit thread_local JKPool::FreeBlocks JKPool::t_freeBlocks[JKPool::sizeClassCount] {};

// Larger blocks come from the global allocator, 16-byte aligned, and start 8 bytes into them.
void* JKPool::allocateSlowly(size_t bytes)
{
    if (bytes > largestPooledSize)
        return static_cast<char*>(::operator new(bytes + largeBlockOffset, std::align_val_t(granularity))) + largeBlockOffset;
    refillFreeBlocks(sizeClassOf(bytes));
    return allocate(bytes);
}

void JKPool::deallocate(void* pointer)
{
    if (!pointer)
        return;
    if (reinterpret_cast<uintptr_t>(pointer) % granularity == largeBlockOffset) {
        ::operator delete(static_cast<char*>(pointer) - largeBlockOffset, std::align_val_t(granularity));
        return;
    }
    Page* page = pageOf(pointer);
    uint64_t offset = static_cast<uint64_t>(static_cast<char*>(pointer) - page->blocks);
    size_t index = static_cast<size_t>((offset * page->reciprocal) >> 32);
    // A free block must not be touched until it is handed out again.
    POISON_BLOCK(pointer, page->blockSize);
    returnBits(*page, index / 64, uint64_t(1) << (index % 64));
}
