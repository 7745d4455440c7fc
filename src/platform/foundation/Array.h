#pragma once

#include "platform/foundation/Object.h"

#include <functional>
#include <initializer_list>
#include <vector>

namespace fnd {

// An ordered list of objects. An interface: the platform's own arrays and the fast JSON decoder's
// arrays both implement it.
class Array : public Object {
public:
    static Ref<Array> create(std::vector<Id> objects = {});
    static Ref<Array> create(std::initializer_list<Id> objects);

    virtual size_t count() const = 0;
    // Throws an "NSRangeException" past the end.
    virtual const Id& objectAtIndex(size_t) const = 0;

    bool isEmpty() const { return count() == 0; }
    Id firstObject() const;
    Id lastObject() const;
    bool containsObject(const Id&) const;
    // SIZE_MAX when absent.
    size_t indexOfObject(const Id&) const;
    std::vector<Id> objects() const;
    void forEach(const std::function<void(const Id&, size_t index, bool& stop)>&) const;

    template<typename T>
    Ref<T> objectAtIndexAs(size_t index) const { return as<T>(objectAtIndex(index)); }

    std::string_view className() const override { return "Array"; }
    size_t hash() const override { return count(); }
    bool isEqual(const Object&) const override;
    // "(\n    1,\n    two\n)"
    std::string description() const override;
    std::string descriptionWithIndent(unsigned level) const;
    bool holdsObjects() const override { return true; }
    Id immutableCopy() const override;
    Id mutableCopy() const override;

    class Iterator {
    public:
        Iterator(const Array& array, size_t index) : m_array(&array), m_index(index) { }
        const Id& operator*() const { return m_array->objectAtIndex(m_index); }
        Iterator& operator++() { ++m_index; return *this; }
        bool operator==(const Iterator& other) const { return m_index == other.m_index; }

    private:
        const Array* m_array;
        size_t m_index;
    };
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, count()); }

protected:
    void throwIndexBeyondBounds(size_t index) const;
};

class MutableArray : public Array {
public:
    static Ref<MutableArray> create(size_t capacity = 0);
    static Ref<MutableArray> create(std::vector<Id> objects);

    // A nil object is refused with an "NSInvalidArgumentException".
    virtual void insertObjectAtIndex(Id, size_t index) = 0;
    virtual void removeObjectAtIndex(size_t index) = 0;
    virtual void replaceObjectAtIndex(size_t index, Id) = 0;
    virtual void removeAllObjects();

    void addObject(Id);
    void addObjectsFromArray(const Array&);
    void removeLastObject();
    void removeObject(const Id&);

    std::string_view className() const override { return "MutableArray"; }
    bool isMutable() const override { return true; }
};

// The platform's own array: a vector, mutable or not.
class StandardArray final : public MutableArray {
public:
    StandardArray(std::vector<Id> objects, bool isMutable);
    ~StandardArray() override;

    size_t count() const override { return m_objects.size(); }
    const Id& objectAtIndex(size_t) const override;
    void insertObjectAtIndex(Id, size_t index) override;
    void removeObjectAtIndex(size_t index) override;
    void replaceObjectAtIndex(size_t index, Id) override;
    void removeAllObjects() override;
    void reserve(size_t capacity) { m_objects.reserve(capacity); }

    std::string_view className() const override { return m_mutable ? "MutableArray" : "Array"; }
    bool isMutable() const override { return m_mutable; }

private:
    void checkMutable() const;

    std::vector<Id> m_objects;
    bool m_mutable;
};

}
