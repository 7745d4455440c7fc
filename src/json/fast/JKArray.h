#pragma once

#include "json/fast/JKNumberSlab.h"
#include "json/fast/JKObjectStack.h"
#include "json/fast/JKPool.h"
#include "platform/foundation/Array.h"

#include <cstdint>
#include <memory>
#include <new>
#include <span>

class JKParseState;

// The fast decoder's array: a packed list of references. It is an ordinary platform mutable array to
// its users, but accepts changes only when the parse asked for mutable containers. Only the decoder
// creates instances.
class JKArray final : public fnd::MutableArray {
    class ConstructionKey {
        friend class JKArray;
        friend class JKArraySlab;
        ConstructionKey() = default;
    };

public:
    // The class is private to the decoder: asking for an instance any other way throws.
    [[noreturn]] static void alloc();

    // Made by create(), in a block with room after the array for the objects, and for a mutable array
    // its MutableState ahead of them. Takes over the stack's entries from `start` on. Inline, like
    // create().
    JKArray(ConstructionKey, JKObjectStack& stack, size_t start, bool isMutable, bool holdsContainers)
        : m_count(static_cast<uint32_t>(stack.size() - start))
        , m_isMutable(isMutable)
        , m_holdsContainers(holdsContainers)
    {
        if (isMutable)
            new (&mutableState()) MutableState { inlineObjects(), m_count, 1 };
        stack.relocateFrom(start, inlineObjects());
    }
    JKArray(ConstructionKey, bool isMutable)
        : m_count(0)
        , m_isMutable(isMutable)
        , m_holdsContainers(false)
    {
        if (isMutable)
            new (&mutableState()) MutableState { inlineObjects(), 0, 1 };
    }
    // Inline for the arrays documents are full of, small and holding no containers: they nest
    // nothing, and are too short to fetch ahead in.
    ~JKArray() override
    {
        if (m_count <= childLookAhead && !m_holdsContainers && !m_hasStorageOfItsOwn)
            std::destroy_n(storage(), m_count);
        else
            destroyObjects();
    }

    size_t count() const override { return m_count; }
    const fnd::Id& objectAtIndex(size_t) const override;
    // Copies `length` references starting at `location` to `objects`.
    void getObjectsRange(fnd::Id* objects, size_t location, size_t length) const;

    void insertObjectAtIndex(fnd::Id, size_t index) override;
    void removeObjectAtIndex(size_t index) override;
    void replaceObjectAtIndex(size_t index, fnd::Id) override;

    size_t capacity() const { return m_isMutable ? mutableState().capacity : m_count; }
    // The objects in place; valid until the next change.
    std::span<const fnd::Id> objects() const { return { storage(), m_count }; }
    // 0 for an immutable array; advanced by every change.
    uint32_t mutations() const { return m_isMutable ? mutableState().mutations : 0; }
    // Whether an array, dictionary or other container may be among the objects.
    bool holdsContainers() const { return m_holdsContainers; }
    void prefetchStorage() const { __builtin_prefetch(storage()); }
    // What releasing the first object touches first when it is a decoded number (the storage must
    // have been fetched before).
    [[gnu::always_inline]] void prefetchFirstNumberSlab() const
    {
        if (m_count)
            JKNumberSlab::prefetchCountOf(storage()[0].get());
    }

    std::string_view className() const override { return "JKArray"; }
    bool isMutable() const override { return m_isMutable; }

private:
    friend class JKArraySlab;
    friend class JKParseState;
    // Takes over the stack's entries from `start` on. Inline: the decoder makes one array per closing
    // bracket.
    static fnd::Ref<JKArray> create(JKObjectStack& stack, size_t start, bool isMutable, bool holdsContainers)
    {
        size_t count = stack.size() - start;
        if (!count)
            return createEmpty(isMutable);
        if (count > maximumCount)
            throw std::bad_alloc();
        size_t stateBytes = isMutable ? sizeof(MutableState) : 0;
        return JKMakeSharedWithTrailingBytes<JKArray>(stateBytes + count * sizeof(fnd::Id), ConstructionKey(), stack, start, isMutable, holdsContainers);
    }
    static fnd::Ref<JKArray> createEmpty(bool isMutable)
    {
        if (!isMutable)
            return emptyImmutableArray();
        return JKMakeSharedWithTrailingBytes<JKArray>(sizeof(MutableState), ConstructionKey(), true);
    }
    // The bytes an immutable array of `count` objects fills: itself, and its objects right after it.
    static constexpr size_t immutableSizeFor(size_t count) { return sizeof(JKArray) + count * sizeof(fnd::Id); }
    // Empty immutable arrays differ in nothing, so the decoder hands out one for all of them.
    static const fnd::Ref<JKArray>& emptyImmutableArray();

    // How far ahead destroying an array asks for the children it will release.
    static constexpr size_t childLookAhead = 8;
    void destroyObjects();

    void checkMutable(std::string_view operation) const;
    void checkObject(const fnd::Id&, std::string_view operation);
    [[noreturn]] void throwBeyondBounds(std::string_view operation, size_t index, size_t bound) const;
    void advanceMutations();
    void growStorage();

    // Counts are 32 bits wide, so that the small arrays decoded documents are full of stay small.
    static constexpr size_t maximumCount = UINT32_MAX;

    // What only a mutable array needs. It sits in the array's block, between the array and the
    // objects, so that immutable arrays, nearly all a document holds, stay small: an array of two
    // numbers fills one 64-byte block.
    struct MutableState {
        // In the array's own block until an insertion outgrows that; then in storage of their own.
        fnd::Id* objects;
        uint32_t capacity;
        uint32_t mutations;
    };
    MutableState& mutableState() const { return *reinterpret_cast<MutableState*>(const_cast<JKArray*>(this) + 1); }
    // Where the objects sit in the array's own block.
    fnd::Id* inlineObjects() const
    {
        char* end = reinterpret_cast<char*>(const_cast<JKArray*>(this) + 1);
        return reinterpret_cast<fnd::Id*>(m_isMutable ? end + sizeof(MutableState) : end);
    }
    fnd::Id* storage() const { return m_isMutable ? mutableState().objects : inlineObjects(); }

    uint32_t m_count;
    bool m_isMutable;
    bool m_holdsContainers;
    bool m_hasStorageOfItsOwn { false };
};
