#pragma once

#include "json/fast/JKPool.h"
#include "platform/foundation/Number.h"

#include <cstddef>
#include <new>

// Decoded numbers, made many to a block: one allocation and one reference count serve all of them,
// which is most of what a number would otherwise cost the decoder. The numbers handed out share the
// block's count, so a number kept anywhere keeps its whole block alive.
class JKNumberSlab {
public:
    // As many as the pool's largest block holds with the shared count and the fill count.
    static constexpr size_t capacity = (JKPool::largestSharedObjectSize - sizeof(size_t)) / sizeof(fnd::Number);

    // Provided rather than defaulted: std::allocate_shared value-initialises, which would first zero
    // the whole slab.
    JKNumberSlab() { }
    JKNumberSlab(const JKNumberSlab&) = delete;
    JKNumberSlab& operator=(const JKNumberSlab&) = delete;
    ~JKNumberSlab();

    // Asks for the shared count of the slab that may hold the number, which releasing the number
    // changes. A slab fills the pool's largest block, and its count starts the block; for any other
    // number this fetches something useless, and nothing else.
    [[gnu::always_inline]] static void prefetchCountOf(const fnd::Object* number) { __builtin_prefetch(JKPool::startOfLargestBlockHolding(number)); }

    bool isFull() const { return m_count == capacity; }
    // The next number of the block; only while it is not full.
    fnd::Number* makeNumber(fnd::Number::Type type, fnd::Number::Scalar scalar)
    {
        return fnd::Number::constructAt(&m_numbers[m_count++], type, scalar);
    }

private:
    struct alignas(fnd::Number) Storage {
        std::byte bytes[sizeof(fnd::Number)];
    };

    Storage m_numbers[capacity];
    size_t m_count { 0 };
};
