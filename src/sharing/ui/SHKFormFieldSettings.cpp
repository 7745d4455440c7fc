#include "sharing/ui/SHKFormFieldSettings.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/String.h"

#include <charconv>

namespace {

std::optional<size_t> indexFromText(std::string_view text)
{
    size_t index = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return index;
}

}

fnd::Ref<SHKFormFieldSettings> SHKFormFieldSettings::create(std::string label, std::string key, FormFieldKind type, std::optional<std::string> start,
    fnd::Ref<fnd::MutableDictionary> optionPickerInfo)
{
    return std::make_shared<SHKFormFieldSettings>(std::move(label), std::move(key), type, std::move(start), std::move(optionPickerInfo));
}

SHKFormFieldSettings::SHKFormFieldSettings(std::string label, std::string key, FormFieldKind type, std::optional<std::string> start,
    fnd::Ref<fnd::MutableDictionary> optionPickerInfo)
    : m_label(std::move(label))
    , m_key(std::move(key))
    , m_type(type)
    , m_start(std::move(start))
    , m_optionPickerInfo(std::move(optionPickerInfo))
{
}

std::vector<std::string> SHKFormFieldSettings::selectionParts(std::string_view indexes)
{
    std::vector<std::string> parts;
    size_t begin = 0;
    while (true) {
        auto comma = indexes.find(',', begin);
        parts.emplace_back(indexes.substr(begin, comma == std::string_view::npos ? std::string_view::npos : comma - begin));
        if (comma == std::string_view::npos)
            return parts;
        begin = comma + 1;
    }
}

std::string SHKFormFieldSettings::optionPickerValueForIndexes(std::string_view indexes) const
{
    if (indexes == noSelection)
        return std::string(noSelection);
    auto items = m_optionPickerInfo ? m_optionPickerInfo->objectForKeyAs<fnd::Array>("itemsList") : nullptr;
    std::string value;
    bool any = false;
    for (auto& part : selectionParts(indexes)) {
        auto index = indexFromText(part);
        if (!index || !items || *index >= items->count())
            continue;
        auto text = fnd::as<fnd::String>(items->objectAtIndex(*index));
        if (!text)
            continue;
        if (any)
            value += ',';
        value += text->utf8();
        any = true;
    }
    return any ? value : std::string(noSelection);
}
