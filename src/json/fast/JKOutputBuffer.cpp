#include "json/fast/JKOutputBuffer.h"

#include <new>
#include <utility>

namespace {

constexpr size_t initialCapacity = 4096;
// Larger storage goes back to the allocator rather than staying with the thread.
constexpr size_t largestKeptCapacity = size_t(8) << 20;

// The storage of the thread's last finished buffer. A buffer made while another one is in use (an
// unsupported-class formatter that encodes) simply starts with its own.
struct SpareStorage {
    std::unique_ptr<char, void (*)(void*)> bytes { nullptr, std::free };
    size_t capacity = 0;
};

thread_local SpareStorage t_spare;

}

JKOutputBuffer::JKOutputBuffer()
{
    if (t_spare.bytes) {
        m_storage.reset(t_spare.bytes.release());
        m_capacity = std::exchange(t_spare.capacity, 0);
        return;
    }
    grow(initialCapacity);
}

JKOutputBuffer::~JKOutputBuffer()
{
    if (m_capacity > largestKeptCapacity || t_spare.bytes)
        return;
    t_spare.bytes.reset(m_storage.release());
    t_spare.capacity = m_capacity;
}

std::string JKOutputBuffer::take()
{
    std::string text(m_storage.get(), m_size);
    m_size = 0;
    return text;
}

void JKOutputBuffer::grow(size_t count)
{
    size_t wanted = m_size + count;
    size_t capacity = wanted > m_capacity * 2 ? wanted : m_capacity * 2;
    // Only the written bytes matter, so realloc may move them without anything being cleared.
    auto* bytes = static_cast<char*>(std::realloc(m_storage.get(), capacity));
    if (!bytes)
        throw std::bad_alloc();
    (void)m_storage.release();
    m_storage.reset(bytes);
    m_capacity = capacity;
}
