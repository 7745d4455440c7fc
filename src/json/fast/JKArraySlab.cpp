#include "json/fast/JKArraySlab.h"

#include <memory>
#include <new>

// Like a number slab, an array slab fills the pool's largest block, so that its count starts a block
// of that size.
static_assert(sizeof(JKArraySlab) + 16 <= JKPool::largestPooledSize, "an array slab comes from the pool");
static_assert(JKPool::sizeClassOf(sizeof(JKArraySlab) + 16) == JKPool::sizeClassCount - 1, "an array slab fills the largest block");

JKArraySlab::~JKArraySlab()
{
    // The arrays lie one after another, each as long as its count makes it.
    size_t offset = 0;
    while (offset < m_used) {
        auto* array = std::launder(reinterpret_cast<JKArray*>(&m_storage[offset]));
        offset += JKArray::immutableSizeFor(array->count());
        std::destroy_at(array);
    }
}
