#include "json/fast/JKArraySlab.h"

#include <memory>
#include <new>

// Like a number slab, so that its count is found the same way.
static_assert(JKPool::fillsLargestBlockWhenShared(sizeof(JKArraySlab)), "an array slab fills the pool's largest block");

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
