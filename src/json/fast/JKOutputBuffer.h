#pragma once

#include <cstring>
#include <string>
#include <string_view>

// The encoder's output bytes. Every append checks that its bytes fit and grows the storage when they
// do not, so no caller has to work out capacities beforehand.
class JKOutputBuffer {
public:
    JKOutputBuffer() { m_storage.resize(4096); }

    void append(char character)
    {
        ensureRoom(1);
        m_storage[m_size++] = character;
    }

    void append(std::string_view bytes)
    {
        ensureRoom(bytes.size());
        std::memcpy(m_storage.data() + m_size, bytes.data(), bytes.size());
        m_size += bytes.size();
    }

    void appendRepeated(char character, size_t count)
    {
        ensureRoom(count);
        std::memset(m_storage.data() + m_size, character, count);
        m_size += count;
    }

    // Room for at least `count` bytes at the end; commit() then adds the bytes written there.
    char* reserveRoom(size_t count)
    {
        ensureRoom(count);
        return m_storage.data() + m_size;
    }
    void commit(size_t count) { m_size += count; }

    // Appends a copy of bytes already written.
    void appendWritten(size_t offset, size_t length)
    {
        ensureRoom(length);
        std::memcpy(m_storage.data() + m_size, m_storage.data() + offset, length);
        m_size += length;
    }

    size_t size() const { return m_size; }
    std::string_view view() const { return { m_storage.data(), m_size }; }

    // Hands the bytes over; the buffer is empty afterwards.
    std::string take()
    {
        m_storage.resize(m_size);
        m_size = 0;
        return std::move(m_storage);
    }

private:
    void ensureRoom(size_t count)
    {
        if (m_storage.size() - m_size < count)
            grow(count);
    }

    [[gnu::noinline]] void grow(size_t count)
    {
        size_t wanted = m_size + count;
        m_storage.resize(wanted > m_storage.size() * 2 ? wanted : m_storage.size() * 2);
    }

    std::string m_storage;
    size_t m_size { 0 };
};
