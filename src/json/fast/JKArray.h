#pragma once

#include "json/fast/JKPool.h"
#include "platform/foundation/Array.h"

#include <cstdint>
#include <memory>
#include <span>

class JKParseState;

// The fast decoder's array: a packed list of references. It is an ordinary platform mutable array to
// its users, but accepts changes only when the parse asked for mutable containers. Only the decoder
// creates instances.
class JKArray final : public fnd::MutableArray {
    class ConstructionKey {
        friend class JKArray;
        ConstructionKey() = default;
    };

public:
    // The class is private to the decoder: asking for an instance any other way throws.
    [[noreturn]] static void alloc();

    // `storage` is set, by the time the array is constructed, to room for the objects in its own block.
    JKArray(ConstructionKey, void* const& storage, std::span<fnd::Id> objects, bool isMutable, bool holdsContainers);
    ~JKArray() override;

    size_t count() const override { return m_count; }
    const fnd::Id& objectAtIndex(size_t) const override;
    // Copies `length` references starting at `location` to `objects`.
    void getObjectsRange(fnd::Id* objects, size_t location, size_t length) const;

    void insertObjectAtIndex(fnd::Id, size_t index) override;
    void removeObjectAtIndex(size_t index) override;
    void replaceObjectAtIndex(size_t index, fnd::Id) override;

    size_t capacity() const { return m_capacity; }
    // 0 for an immutable array; advanced by every change.
    uint32_t mutations() const { return m_mutations; }
    // Whether an array, dictionary or other container may be among the objects.
    bool holdsContainers() const { return m_holdsContainers; }
    void prefetchStorage() const { __builtin_prefetch(m_objects); }

    std::string_view className() const override { return "JKArray"; }
    bool isMutable() const override { return m_mutations != 0; }

private:
    friend class JKParseState;
    // Takes over the references in `objects`. Inline: the decoder makes one array per closing bracket.
    static fnd::Ref<JKArray> create(std::span<fnd::Id> objects, bool isMutable, bool holdsContainers)
    {
        void* storage = nullptr;
        JKPoolAllocatorWithTrailingBytes<JKArray> allocator(objects.size() * sizeof(fnd::Id), &storage);
        // The allocator sets `storage` before the array is constructed, which reads it by reference.
        return std::allocate_shared<JKArray>(allocator, ConstructionKey(), storage, objects, isMutable, holdsContainers);
    }

    void checkMutable(std::string_view operation) const;
    void checkObject(const fnd::Id&, std::string_view operation);
    [[noreturn]] void throwBeyondBounds(std::string_view operation, size_t index, size_t bound) const;
    void advanceMutations();
    void growStorage();

    // The objects sit in the array's own block after it, until an insertion outgrows that; then in
    // storage of their own.
    fnd::Id* m_objects;
    size_t m_count;
    size_t m_capacity;
    uint32_t m_mutations;
    bool m_holdsContainers;
    bool m_hasStorageOfItsOwn { false };
};
