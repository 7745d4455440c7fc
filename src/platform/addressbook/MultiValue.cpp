#include "platform/addressbook/MultiValue.h"

namespace ab {

MultiValue::MultiValue(std::vector<Entry> entries)
{
    m_entries.reserve(entries.size());
    Identifier next = 0;
    for (auto& entry : entries)
        m_entries.push_back({ next++, std::move(entry) });
}

fnd::Ref<fnd::String> MultiValue::labelAtIndex(size_t index) const
{
    return index < m_entries.size() ? m_entries[index].entry.label : nullptr;
}

fnd::Ref<fnd::String> MultiValue::valueAtIndex(size_t index) const
{
    return index < m_entries.size() ? m_entries[index].entry.value : nullptr;
}

MultiValue::Identifier MultiValue::identifierAtIndex(size_t index) const
{
    return index < m_entries.size() ? m_entries[index].identifier : invalidIdentifier;
}

int64_t MultiValue::indexForIdentifier(Identifier identifier) const
{
    for (size_t index = 0; index < m_entries.size(); ++index) {
        if (m_entries[index].identifier == identifier)
            return static_cast<int64_t>(index);
    }
    return notFound;
}

}
