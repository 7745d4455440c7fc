#include "json/fast/JKArray.h"

#include "json/fast/JKRelease.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

void JKArray::alloc()
{
    throw fnd::Exception("NSInvalidArgumentException",
        fnd::format("*** - [%@ %@]: The %@ class is private to FastJSON and should not be used in this fashion.", "JKArray", "allocWithZone:", "JKArray"));
}

// The vtable pointer and a word: with the control block, an array of two fills a 64-byte block.
static_assert(sizeof(JKArray) == 16);

const fnd::Ref<JKArray>& JKArray::emptyImmutableArray()
{
    // Never destroyed, so that arrays released while the process ends may still refer to it.
    static auto* empty = new fnd::Ref<JKArray>(JKMakeSharedWithTrailingBytes<JKArray>(0, ConstructionKey(), false));
    return *empty;
}

// Whether the object shares its reference count with the one before it, as arrays made in one slab do.
static bool sharesCountWithPrevious(const fnd::Id* objects, size_t index)
{
    return index > 0 && !objects[index].owner_before(objects[index - 1]) && !objects[index - 1].owner_before(objects[index]);
}

void JKArray::destroyObjects()
{
    // Releasing touches each child, for a flat child container its storage, and for an array of
    // numbers their slab's count: fetch them ahead, each after what it is found through.
    constexpr size_t contentsLookAhead = 4;
    constexpr size_t slabLookAhead = 2;
    size_t count = m_count;
    fnd::Id* objects = storage();
    if (!m_holdsContainers) {
        // No child is a container, so dropping them nests nothing.
        for (size_t index = 0; index < count; ++index) {
            if (index + childLookAhead < count)
                __builtin_prefetch(objects[index + childLookAhead].get());
            std::destroy_at(&objects[index]);
        }
    } else {
        // A child sharing its count with the one before it is released through that count alone,
        // which the one before has just brought in; what it holds is only touched when the last
        // sharer goes, so asking for that ahead would only wait on the child itself.
        for (size_t index = 0; index < count; ++index) {
            if (index + childLookAhead < count)
                __builtin_prefetch(objects[index + childLookAhead].get());
            if (index + contentsLookAhead < count && !sharesCountWithPrevious(objects, index + contentsLookAhead))
                JKPrefetchChildContents(objects[index + contentsLookAhead].get());
            if (index + slabLookAhead < count && !sharesCountWithPrevious(objects, index + slabLookAhead))
                JKPrefetchChildNumberSlab(objects[index + slabLookAhead].get());
            JKReleaseChild(std::move(objects[index]));
        }
        std::destroy_n(objects, count);
    }
    if (m_hasStorageOfItsOwn)
        JKPool::deallocate(objects);
}

const fnd::Id& JKArray::objectAtIndex(size_t index) const
{
    if (index >= m_count)
        throwBeyondBounds("objectAtIndex:", index, m_count);
    return storage()[index];
}

void JKArray::getObjectsRange(fnd::Id* objects, size_t location, size_t length) const
{
    if (!objects && length > 0) {
        throw fnd::Exception("NSRangeException",
            fnd::format("*** -[%@ %@]: pointer to objects array is NULL but range length is %lu", className(), "getObjects:range:", length));
    }
    size_t count = m_count;
    if (location > count || length > count - location) {
        size_t end = length > SIZE_MAX - location ? SIZE_MAX : location + length;
        throwBeyondBounds("getObjects:range:", end, count);
    }
    std::copy_n(storage() + location, length, objects);
}

void JKArray::insertObjectAtIndex(fnd::Id object, size_t index)
{
    checkMutable("insertObject:atIndex:");
    checkObject(object, "insertObject:atIndex:");
    if (index > m_count)
        throwBeyondBounds("insertObject:atIndex:", index, m_count + 1);
    if (m_count + 1 >= mutableState().capacity)
        growStorage();
    fnd::Id* objects = mutableState().objects;
    if (index == m_count) {
        new (&objects[m_count]) fnd::Id(std::move(object));
    } else {
        new (&objects[m_count]) fnd::Id(std::move(objects[m_count - 1]));
        std::move_backward(objects + index, objects + m_count - 1, objects + m_count);
        objects[index] = std::move(object);
    }
    ++m_count;
    advanceMutations();
}

void JKArray::growStorage()
{
    // Grows by at least 16 entries, geometrically for long arrays so that appending stays linear.
    MutableState& state = mutableState();
    size_t capacity = std::min<size_t>(state.capacity + std::max<size_t>(16, state.capacity / 2), maximumCount);
    if (capacity == state.capacity)
        throw std::bad_alloc();
    auto* objects = static_cast<fnd::Id*>(JKPool::allocate(capacity * sizeof(fnd::Id)));
    std::uninitialized_move_n(state.objects, m_count, objects);
    std::destroy_n(state.objects, m_count);
    if (m_hasStorageOfItsOwn)
        JKPool::deallocate(state.objects);
    state.objects = objects;
    state.capacity = static_cast<uint32_t>(capacity);
    m_hasStorageOfItsOwn = true;
}

void JKArray::removeObjectAtIndex(size_t index)
{
    checkMutable("removeObjectAtIndex:");
    if (index >= m_count)
        throwBeyondBounds("removeObjectAtIndex:", index, m_count);
    fnd::Id* objects = mutableState().objects;
    fnd::Id removed = std::move(objects[index]);
    std::move(objects + index + 1, objects + m_count, objects + index);
    std::destroy_at(&objects[--m_count]);
    advanceMutations();
    JKReleaseChild(std::move(removed));
}

void JKArray::replaceObjectAtIndex(size_t index, fnd::Id object)
{
    checkMutable("replaceObjectAtIndex:withObject:");
    checkObject(object, "replaceObjectAtIndex:withObject:");
    if (index >= m_count)
        throwBeyondBounds("replaceObjectAtIndex:withObject:", index, m_count);
    fnd::Id old = std::exchange(mutableState().objects[index], std::move(object));
    advanceMutations();
    JKReleaseChild(std::move(old));
}

void JKArray::checkMutable(std::string_view operation) const
{
    if (!m_isMutable) {
        throw fnd::Exception("NSInternalInconsistencyException",
            fnd::format("*** -[%@ %@]: mutating method sent to immutable object", className(), operation));
    }
}

void JKArray::checkObject(const fnd::Id& object, std::string_view operation)
{
    if (!object)
        throw fnd::Exception("NSInvalidArgumentException", fnd::format("*** -[%@ %@]: attempt to insert nil", className(), operation));
    if (object->holdsObjects())
        m_holdsContainers = true;
}

void JKArray::throwBeyondBounds(std::string_view operation, size_t index, size_t bound) const
{
    throw fnd::Exception("NSRangeException",
        fnd::format("*** -[%@ %@]: index (%lu) beyond bounds (%lu)", className(), operation, index, bound));
}

void JKArray::advanceMutations()
{
    // Wraps to 1, never to 0, which would mean immutable.
    uint32_t& mutations = mutableState().mutations;
    if (++mutations == 0)
        mutations = 1;
}
