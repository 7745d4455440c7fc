#include "platform/foundation/HTTPHeaderFields.h"

#include "platform/foundation/String.h"

#include <algorithm>

namespace fnd {

namespace {

char lowercase(char character)
{
    return character >= 'A' && character <= 'Z' ? char(character - 'A' + 'a') : character;
}

}

bool HTTPHeaderFields::namesMatch(std::string_view first, std::string_view second)
{
    return first.size() == second.size()
        && std::equal(first.begin(), first.end(), second.begin(), [](char a, char b) { return lowercase(a) == lowercase(b); });
}

HTTPHeaderFields::HTTPHeaderFields(std::initializer_list<Entry> entries)
{
    for (auto& [name, value] : entries)
        set(name, value);
}

std::vector<HTTPHeaderFields::Entry>::const_iterator HTTPHeaderFields::find(std::string_view name) const
{
    return std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) { return namesMatch(entry.first, name); });
}

std::vector<HTTPHeaderFields::Entry>::iterator HTTPHeaderFields::find(std::string_view name)
{
    return std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& entry) { return namesMatch(entry.first, name); });
}

std::optional<std::string> HTTPHeaderFields::value(std::string_view name) const
{
    auto found = find(name);
    if (found == m_entries.end())
        return std::nullopt;
    return found->second;
}

void HTTPHeaderFields::set(std::string_view name, std::string_view value)
{
    auto found = find(name);
    if (found != m_entries.end())
        found->second = value;
    else
        m_entries.emplace_back(name, value);
}

void HTTPHeaderFields::add(std::string_view name, std::string_view value)
{
    auto found = find(name);
    if (found == m_entries.end()) {
        m_entries.emplace_back(name, value);
        return;
    }
    found->second += ", ";
    found->second += value;
}

void HTTPHeaderFields::remove(std::string_view name)
{
    auto found = find(name);
    if (found != m_entries.end())
        m_entries.erase(found);
}

Ref<Dictionary> HTTPHeaderFields::dictionary() const
{
    std::vector<DictionaryEntry> entries;
    entries.reserve(m_entries.size());
    for (auto& [name, value] : m_entries)
        entries.emplace_back(String::create(name), String::create(value));
    return Dictionary::create(std::move(entries));
}

}
