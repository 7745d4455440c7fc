#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// The encoder's output bytes. Every append checks that its bytes fit and grows the storage when they
// do not, so no caller has to work out capacities beforehand. The storage is borrowed from the
// calling thread and handed back when the buffer dies, so that encoding the same kind of document
// again neither grows nor clears it; callers copy the text out with view() or take().
class JKOutputBuffer {
public:
    JKOutputBuffer();
    ~JKOutputBuffer();
    JKOutputBuffer(const JKOutputBuffer&) = delete;
    JKOutputBuffer& operator=(const JKOutputBuffer&) = delete;

    void append(char character)
    {
        ensureRoom(1);
        m_storage.get()[m_size++] = character;
    }

    void append(std::string_view bytes)
    {
        ensureRoom(bytes.size());
        std::memcpy(m_storage.get() + m_size, bytes.data(), bytes.size());
        m_size += bytes.size();
    }

    void appendRepeated(char character, size_t count)
    {
        ensureRoom(count);
        std::memset(m_storage.get() + m_size, character, count);
        m_size += count;
    }

    // Room for at least `count` bytes at the end; commit() then adds the bytes written there.
    char* reserveRoom(size_t count)
    {
        ensureRoom(count);
        return m_storage.get() + m_size;
    }
    void commit(size_t count) { m_size += count; }

    // Appends a copy of bytes already written.
    void appendWritten(size_t offset, size_t length)
    {
        if (length <= shortCopy) {
            // Short text is copied as one fixed-size block; the bytes past `length` land beyond the
            // end and are overwritten later.
            ensureRoom(shortCopy);
            // Through a local block, as the ranges may overlap; fixed sizes compile to plain moves.
            char block[shortCopy];
            std::memcpy(block, m_storage.get() + offset, shortCopy);
            std::memcpy(m_storage.get() + m_size, block, shortCopy);
            m_size += length;
            return;
        }
        ensureRoom(length);
        std::memcpy(m_storage.get() + m_size, m_storage.get() + offset, length);
        m_size += length;
    }

    size_t size() const { return m_size; }
    std::string_view view() const { return { m_storage.get(), m_size }; }

    // A copy of the bytes; the buffer is empty afterwards.
    std::string take();

private:
    static constexpr size_t shortCopy = 32;

    struct FreeStorage {
        void operator()(char* bytes) const { std::free(bytes); }
    };
    using Storage = std::unique_ptr<char, FreeStorage>;

    void ensureRoom(size_t count)
    {
        if (m_capacity - m_size < count)
            grow(count);
    }

    [[gnu::noinline]] void grow(size_t count);

    Storage m_storage;
    size_t m_capacity { 0 };
    size_t m_size { 0 };
};
