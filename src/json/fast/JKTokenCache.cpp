#include "json/fast/JKTokenCache.h"

#include "json/fast/JKPool.h"

// JKNumberSlab::prefetchCountOf() relies on this.
static_assert(JKPool::fillsLargestBlockWhenShared(sizeof(JKNumberSlab)), "a number slab fills the pool's largest block");

JKTokenCache::JKTokenCache() = default;

// A new slab is needed once per slab capacity of numbers; kept out of line so that making a number stays short.
[[gnu::noinline]] void JKTokenCache::startNumberSlab()
{
    m_numberSlab = std::allocate_shared<JKNumberSlab>(JKPoolAllocator<JKNumberSlab>());
}

[[gnu::noinline]] fnd::Id JKTokenCache::makeString(const JKTokenValue& value)
{
    return std::allocate_shared<fnd::String>(JKPoolAllocator<fnd::String>(), std::string(reinterpret_cast<const char*>(value.bytes), value.length));
}

size_t JKTokenCache::keyHashForSlot(int index) const
{
    return m_objects[static_cast<size_t>(index)]->hash();
}

void JKTokenCache::clear()
{
    m_keys.fill(SlotKey());
    for (auto& object : m_objects)
        object = nullptr;
    m_ages.fill(0);
}
