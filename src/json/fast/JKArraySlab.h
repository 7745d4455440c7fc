#pragma once

#include "json/fast/JKArray.h"
#include "json/fast/JKObjectStack.h"
#include "json/fast/JKPool.h"

#include <cstddef>
#include <cstdint>
#include <new>

// Small immutable arrays of scalars, made one after another in a block: one allocation and one
// reference count serve all of them, as number slabs do for numbers. Documents are full of such
// arrays (coordinates, index pairs), and a shared count of its own would be a quarter of a pair's
// block. The arrays handed out share the block's count, so an array kept anywhere keeps its
// whole block alive. They hold no containers, so destroying the block nests nothing.
class JKArraySlab {
public:
    // Longer arrays save less of their size, and would leave more of a block unused.
    static constexpr size_t largestArrayCount = 4;

    // Provided rather than defaulted: std::allocate_shared value-initialises, which would first zero
    // the whole slab.
    JKArraySlab() { }
    JKArraySlab(const JKArraySlab&) = delete;
    JKArraySlab& operator=(const JKArraySlab&) = delete;
    ~JKArraySlab();

    bool hasRoomFor(size_t count) const { return m_used + JKArray::immutableSizeFor(count) <= sizeof m_storage; }
    // An immutable array that takes over the stack's entries from `start` on, none of them a
    // container; only when there is room for it.
    JKArray* makeArray(JKObjectStack& stack, size_t start)
    {
        size_t size = JKArray::immutableSizeFor(stack.size() - start);
        auto* array = new (&m_storage[m_used]) JKArray(JKArray::ConstructionKey(), stack, start, false, false);
        m_used += static_cast<uint32_t>(size);
        return array;
    }

private:
    // The rest of the pool's largest block after the shared count and the fill mark.
    static constexpr size_t storageSize = JKPool::largestSharedObjectSize - sizeof(uint64_t);

    uint32_t m_used { 0 };
    alignas(JKArray) std::byte m_storage[storageSize];
};
