#include "platform/foundation/Data.h"

#include "platform/foundation/String.h"

namespace fnd {

Ref<Data> Data::create(std::vector<uint8_t> bytes)
{
    return std::make_shared<Data>(std::move(bytes));
}

Ref<Data> Data::create(std::string_view bytes)
{
    return create(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

Ref<Data> Data::createMutable(std::vector<uint8_t> bytes)
{
    return std::make_shared<Data>(std::move(bytes), true);
}

Data::Data(std::vector<uint8_t> bytes, bool isMutable)
    : m_bytes(std::move(bytes))
    , m_mutable(isMutable)
{
}

void Data::append(std::span<const uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void Data::append(std::string_view bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

size_t Data::hash() const
{
    return hashBytes(asStringView());
}

bool Data::isEqual(const Object& other) const
{
    auto* data = dynamic_cast<const Data*>(&other);
    return data && data->m_bytes == m_bytes;
}

std::string Data::description() const
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string text = "<";
    for (size_t index = 0; index < m_bytes.size(); ++index) {
        if (index && index % 4 == 0)
            text.push_back(' ');
        text.push_back(hex[m_bytes[index] >> 4]);
        text.push_back(hex[m_bytes[index] & 0xF]);
    }
    text.push_back('>');
    return text;
}

Id Data::immutableCopy() const
{
    return create(m_bytes);
}

Id Data::mutableCopy() const
{
    return createMutable(m_bytes);
}

}
