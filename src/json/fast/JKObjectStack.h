#pragma once

#include "platform/foundation/Object.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <utility>

// The decoder's values whose container is still open, in the order read. A closing array takes its
// members over by relocation: each reference goes to the array as it is and ends its life on the
// stack, so that no entry is cleared and then destroyed again.
class JKObjectStack {
public:
    JKObjectStack() = default;
    JKObjectStack(const JKObjectStack&) = delete;
    JKObjectStack& operator=(const JKObjectStack&) = delete;
    ~JKObjectStack()
    {
        clear();
        if (m_entries)
            std::allocator<fnd::Id>().deallocate(m_entries, m_capacity);
    }

    size_t size() const { return m_size; }
    // The entries from `start` on; valid until the stack changes.
    std::span<fnd::Id> entriesFrom(size_t start) { return { m_entries + start, m_size - start }; }

    fnd::Id& top() { return m_entries[m_size - 1]; }

    void push(fnd::Id&& object)
    {
        if (m_size == m_capacity) [[unlikely]]
            grow(m_capacity * 2);
        new (&m_entries[m_size++]) fnd::Id(std::move(object));
    }
    // Makes room for at least `capacity` entries.
    void reserve(size_t capacity)
    {
        if (capacity > m_capacity)
            grow(capacity);
    }
    // Drops the entries from `start` on.
    void shrink(size_t start)
    {
        std::destroy(m_entries + start, m_entries + m_size);
        m_size = start;
    }
    void clear() { shrink(0); }

    // Moves the entries from `start` on to the uninitialised storage at `destination`, and leaves the
    // stack with the entries before `start`.
    void relocateFrom(size_t start, fnd::Id* destination)
    {
        for (size_t index = start; index < m_size; ++index)
            relocate(m_entries[index], destination++);
        m_size = start;
    }

private:
    // A reference moved and its old place destroyed: the compiler sees that the old place is left
    // empty and dies, so this is a plain copy.
    static void relocate(fnd::Id& from, fnd::Id* to)
    {
        new (to) fnd::Id(std::move(from));
        std::destroy_at(&from);
    }

    // Kept out of line: the stack is reserved up front and rarely grows.
    [[gnu::noinline]] void grow(size_t capacity)
    {
        capacity = std::max<size_t>(capacity, 16);
        fnd::Id* entries = std::allocator<fnd::Id>().allocate(capacity);
        for (size_t index = 0; index < m_size; ++index)
            relocate(m_entries[index], &entries[index]);
        if (m_entries)
            std::allocator<fnd::Id>().deallocate(m_entries, m_capacity);
        m_entries = entries;
        m_capacity = capacity;
    }

    fnd::Id* m_entries { nullptr };
    size_t m_size { 0 };
    size_t m_capacity { 0 };
};
