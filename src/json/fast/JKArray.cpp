#include "json/fast/JKArray.h"

#include "json/fast/JKRelease.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"

#include <algorithm>
#include <iterator>
#include <utility>

void JKArray::alloc()
{
    throw fnd::Exception("NSInvalidArgumentException",
        fnd::format("*** - [%@ %@]: The %@ class is private to FastJSON and should not be used in this fashion.", "JKArray", "allocWithZone:", "JKArray"));
}

fnd::Ref<JKArray> JKArray::create(std::span<JKObjectStackEntry> objects, bool isMutable, bool holdsContainers)
{
    return std::allocate_shared<JKArray>(JKPoolAllocator<JKArray>(), ConstructionKey(), objects, isMutable, holdsContainers);
}

JKArray::JKArray(ConstructionKey, std::span<JKObjectStackEntry> objects, bool isMutable, bool holdsContainers)
    : m_mutations(isMutable ? 1 : 0)
    , m_holdsContainers(holdsContainers)
{
    m_objects.reserve(objects.size());
    for (auto& entry : objects)
        m_objects.push_back(std::move(entry.object));
}

JKArray::~JKArray()
{
    // Releasing touches each child and, for a flat child container, its storage: fetch them ahead.
    constexpr size_t childLookAhead = 8;
    constexpr size_t contentsLookAhead = 4;
    size_t count = m_objects.size();
    if (!m_holdsContainers) {
        // No child is a container, so dropping them nests nothing.
        for (size_t index = 0; index < count; ++index) {
            if (index + childLookAhead < count)
                __builtin_prefetch(m_objects[index + childLookAhead].get());
            m_objects[index].reset();
        }
        return;
    }
    for (size_t index = 0; index < count; ++index) {
        if (index + childLookAhead < count)
            __builtin_prefetch(m_objects[index + childLookAhead].get());
        if (m_holdsContainers && index + contentsLookAhead < count)
            JKPrefetchChildContents(m_objects[index + contentsLookAhead].get());
        JKReleaseChild(std::move(m_objects[index]));
    }
}

const fnd::Id& JKArray::objectAtIndex(size_t index) const
{
    if (index >= m_objects.size())
        throwBeyondBounds("objectAtIndex:", index, m_objects.size());
    return m_objects[index];
}

void JKArray::getObjectsRange(fnd::Id* objects, size_t location, size_t length) const
{
    if (!objects && length > 0) {
        throw fnd::Exception("NSRangeException",
            fnd::format("*** -[%@ %@]: pointer to objects array is NULL but range length is %lu", className(), "getObjects:range:", length));
    }
    size_t count = m_objects.size();
    if (location > count || length > count - location) {
        size_t end = length > SIZE_MAX - location ? SIZE_MAX : location + length;
        throwBeyondBounds("getObjects:range:", end, count);
    }
    std::copy_n(m_objects.begin() + static_cast<ptrdiff_t>(location), length, objects);
}

void JKArray::insertObjectAtIndex(fnd::Id object, size_t index)
{
    checkMutable("insertObject:atIndex:");
    checkObject(object, "insertObject:atIndex:");
    size_t count = m_objects.size();
    if (index > count)
        throwBeyondBounds("insertObject:atIndex:", index, count + 1);
    // Grows by at least 16 entries, geometrically for long arrays so that appending stays linear.
    if (count + 1 >= m_objects.capacity())
        m_objects.reserve(m_objects.capacity() + std::max<size_t>(16, m_objects.capacity() / 2));
    m_objects.insert(m_objects.begin() + static_cast<ptrdiff_t>(index), std::move(object));
    advanceMutations();
}

void JKArray::removeObjectAtIndex(size_t index)
{
    checkMutable("removeObjectAtIndex:");
    if (index >= m_objects.size())
        throwBeyondBounds("removeObjectAtIndex:", index, m_objects.size());
    fnd::Id removed = std::move(m_objects[index]);
    m_objects.erase(m_objects.begin() + static_cast<ptrdiff_t>(index));
    advanceMutations();
    JKReleaseChild(std::move(removed));
}

void JKArray::replaceObjectAtIndex(size_t index, fnd::Id object)
{
    checkMutable("replaceObjectAtIndex:withObject:");
    checkObject(object, "replaceObjectAtIndex:withObject:");
    if (index >= m_objects.size())
        throwBeyondBounds("replaceObjectAtIndex:withObject:", index, m_objects.size());
    fnd::Id old = std::exchange(m_objects[index], std::move(object));
    advanceMutations();
    JKReleaseChild(std::move(old));
}

void JKArray::checkMutable(std::string_view operation) const
{
    if (!m_mutations) {
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
    if (++m_mutations == 0)
        m_mutations = 1;
}
