#pragma once

#include "platform/foundation/Object.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {

// A byte buffer. Mutable through bytes() only when created as mutable data.
class Data : public Object {
public:
    static Ref<Data> create(std::vector<uint8_t> bytes = {});
    static Ref<Data> create(std::string_view bytes);
    static Ref<Data> createMutable(std::vector<uint8_t> bytes = {});

    explicit Data(std::vector<uint8_t> bytes, bool isMutable = false);

    size_t length() const { return m_bytes.size(); }
    const uint8_t* bytes() const { return m_bytes.data(); }
    std::span<const uint8_t> span() const { return m_bytes; }
    const std::vector<uint8_t>& vector() const { return m_bytes; }
    std::string_view asStringView() const { return { reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size() }; }

    std::vector<uint8_t>& mutableBytes() { return m_bytes; }
    void append(std::span<const uint8_t>);
    void append(std::string_view);

    std::string_view className() const override { return m_mutable ? "MutableData" : "Data"; }
    size_t hash() const override;
    bool isEqual(const Object&) const override;
    // "<48656c6c 6f>": hex in groups of four bytes, as the platform writes it.
    std::string description() const override;
    bool isMutable() const override { return m_mutable; }
    Id immutableCopy() const override;
    Id mutableCopy() const override;

private:
    std::vector<uint8_t> m_bytes;
    bool m_mutable;
};

}
