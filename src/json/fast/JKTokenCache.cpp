#include "json/fast/JKTokenCache.h"

#include "json/fast/JKPool.h"

// The slab shares its block with the shared count (a table pointer and two counts), and fills the
// pool's largest block, which prefetchCountOf() relies on.
static_assert(sizeof(JKNumberSlab) + 16 <= JKPool::largestPooledSize, "a number slab comes from the pool");
static_assert(JKPool::sizeClassOf(sizeof(JKNumberSlab) + 16) == JKPool::sizeClassCount - 1, "a number slab fills the largest block");

JKTokenCache::JKTokenCache() = default;

// A new slab is needed once per thirty numbers; kept out of line so that making a number stays short.
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
    m_evicted.fill(nullptr);
}
