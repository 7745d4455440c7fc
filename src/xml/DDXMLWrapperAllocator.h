#pragma once

#include "xml/DDXMLWrapperPool.h"

#include <new>

// The allocator for std::allocate_shared: wrappers with their reference counts come from the pool;
// anything larger comes from operator new.
template<typename T>
class DDXMLWrapperAllocator {
public:
    using value_type = T;

    DDXMLWrapperAllocator() = default;
    template<typename U>
    DDXMLWrapperAllocator(const DDXMLWrapperAllocator<U>&) noexcept { }

    T* allocate(size_t count)
    {
        if (fitsBlock(count))
            return static_cast<T*>(DDXMLWrapperPool::allocate(sizeof(T)));
        return static_cast<T*>(::operator new(count * sizeof(T), std::align_val_t(alignof(T))));
    }

    void deallocate(T* pointer, size_t count) noexcept
    {
        if (fitsBlock(count))
            DDXMLWrapperPool::deallocate(pointer);
        else
            ::operator delete(pointer, std::align_val_t(alignof(T)));
    }

    template<typename U>
    bool operator==(const DDXMLWrapperAllocator<U>&) const noexcept { return true; }

private:
    static bool fitsBlock(size_t count)
    {
        return count == 1 && sizeof(T) <= DDXMLWrapperPool::blockSize && alignof(T) <= alignof(std::max_align_t);
    }
};
