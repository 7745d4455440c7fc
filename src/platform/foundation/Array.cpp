#include "platform/foundation/Array.h"

#include "platform/foundation/CollectionDescription.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"

#include <utility>

namespace fnd {

Ref<Array> Array::create(std::vector<Id> objects)
{
    return std::make_shared<StandardArray>(std::move(objects), false);
}

Ref<Array> Array::create(std::initializer_list<Id> objects)
{
    return create(std::vector<Id>(objects));
}

Id Array::firstObject() const
{
    return count() ? objectAtIndex(0) : nullptr;
}

Id Array::lastObject() const
{
    size_t size = count();
    return size ? objectAtIndex(size - 1) : nullptr;
}

bool Array::containsObject(const Id& object) const
{
    return indexOfObject(object) != SIZE_MAX;
}

size_t Array::indexOfObject(const Id& object) const
{
    size_t size = count();
    for (size_t index = 0; index < size; ++index) {
        if (fnd::isEqual(objectAtIndex(index), object))
            return index;
    }
    return SIZE_MAX;
}

std::vector<Id> Array::objects() const
{
    std::vector<Id> result;
    size_t size = count();
    result.reserve(size);
    for (size_t index = 0; index < size; ++index)
        result.push_back(objectAtIndex(index));
    return result;
}

void Array::forEach(const std::function<void(const Id&, size_t, bool&)>& body) const
{
    bool stop = false;
    size_t size = count();
    for (size_t index = 0; index < size && !stop; ++index)
        body(objectAtIndex(index), index, stop);
}

bool Array::isEqual(const Object& other) const
{
    if (this == &other)
        return true;
    auto* array = dynamic_cast<const Array*>(&other);
    if (!array || array->count() != count())
        return false;
    size_t size = count();
    for (size_t index = 0; index < size; ++index) {
        if (!fnd::isEqual(objectAtIndex(index), array->objectAtIndex(index)))
            return false;
    }
    return true;
}

std::string Array::descriptionWithIndent(unsigned level) const
{
    std::string text = "(";
    size_t size = count();
    for (size_t index = 0; index < size; ++index) {
        text += "\n" + indentationForLevel(level + 1) + describeInCollection(objectAtIndex(index), level + 1);
        if (index + 1 < size)
            text += ",";
    }
    if (size)
        text += "\n" + indentationForLevel(level);
    text += ")";
    return text;
}

std::string Array::description() const
{
    return descriptionWithIndent(0);
}

Id Array::immutableCopy() const
{
    return create(objects());
}

Id Array::mutableCopy() const
{
    return MutableArray::create(objects());
}

void Array::throwIndexBeyondBounds(size_t index) const
{
    throw Exception("NSRangeException", format("index %zu beyond bounds [0 .. %zd]", index, static_cast<int64_t>(count()) - 1));
}

Ref<MutableArray> MutableArray::create(size_t capacity)
{
    auto array = std::make_shared<StandardArray>(std::vector<Id>(), true);
    array->reserve(capacity);
    return array;
}

Ref<MutableArray> MutableArray::create(std::vector<Id> objects)
{
    return std::make_shared<StandardArray>(std::move(objects), true);
}

void MutableArray::removeAllObjects()
{
    while (count())
        removeObjectAtIndex(count() - 1);
}

void MutableArray::addObject(Id object)
{
    insertObjectAtIndex(std::move(object), count());
}

void MutableArray::addObjectsFromArray(const Array& other)
{
    // Snapshot first: adding an array to itself doubles it once.
    for (auto& object : other.objects())
        addObject(object);
}

void MutableArray::removeLastObject()
{
    if (count())
        removeObjectAtIndex(count() - 1);
}

void MutableArray::removeObject(const Id& object)
{
    for (size_t index = count(); index-- > 0;) {
        if (fnd::isEqual(objectAtIndex(index), object))
            removeObjectAtIndex(index);
    }
}

StandardArray::StandardArray(std::vector<Id> objects, bool isMutable)
    : m_objects(std::move(objects))
    , m_mutable(isMutable)
{
}

StandardArray::~StandardArray()
{
    DeferredRelease::releaseAll(m_objects);
}

const Id& StandardArray::objectAtIndex(size_t index) const
{
    if (index >= m_objects.size())
        throwIndexBeyondBounds(index);
    return m_objects[index];
}

void StandardArray::checkMutable() const
{
    if (!m_mutable)
        throw Exception("NSInternalInconsistencyException", "mutating method sent to immutable object");
}

void StandardArray::insertObjectAtIndex(Id object, size_t index)
{
    checkMutable();
    if (!object)
        throw Exception("NSInvalidArgumentException", "object cannot be nil");
    if (index > m_objects.size())
        throwIndexBeyondBounds(index);
    m_objects.insert(m_objects.begin() + static_cast<ptrdiff_t>(index), std::move(object));
}

void StandardArray::removeObjectAtIndex(size_t index)
{
    checkMutable();
    if (index >= m_objects.size())
        throwIndexBeyondBounds(index);
    Id removed = std::move(m_objects[index]);
    m_objects.erase(m_objects.begin() + static_cast<ptrdiff_t>(index));
    DeferredRelease::release(std::move(removed));
}

void StandardArray::replaceObjectAtIndex(size_t index, Id object)
{
    checkMutable();
    if (!object)
        throw Exception("NSInvalidArgumentException", "object cannot be nil");
    if (index >= m_objects.size())
        throwIndexBeyondBounds(index);
    Id old = std::exchange(m_objects[index], std::move(object));
    DeferredRelease::release(std::move(old));
}

void StandardArray::removeAllObjects()
{
    checkMutable();
    auto old = std::move(m_objects);
    m_objects.clear();
    DeferredRelease::releaseAll(old);
}

}
