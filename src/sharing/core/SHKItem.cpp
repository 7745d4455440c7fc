#include "sharing/core/SHKItem.h"

#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

namespace {

fnd::FormatArgument textOrNil(const std::optional<std::string>& text)
{
    return text ? fnd::FormatArgument(*text) : fnd::FormatArgument();
}

void setStringValue(fnd::MutableDictionary& dictionary, const std::optional<std::string>& value, std::string_view key)
{
    if (value)
        dictionary.setObjectForKey(fnd::String::create(*value), key);
}

// Only text keys with text values are custom values; anything else in a stored item is dropped.
fnd::Ref<fnd::MutableDictionary> customValuesFrom(const fnd::Ref<fnd::Dictionary>& stored)
{
    auto custom = fnd::MutableDictionary::create();
    stored->forEachEntry([&](const fnd::Id& key, const fnd::Id& value, bool&) {
        if (fnd::is<fnd::String>(key) && fnd::is<fnd::String>(value))
            custom->setObjectForKey(value, key);
    });
    return custom;
}

}

fnd::Ref<SHKItem> SHKItem::create()
{
    return std::make_shared<SHKItem>();
}

fnd::Ref<SHKItem> SHKItem::createWithURL(fnd::Ref<fnd::URL> url, std::optional<std::string> title)
{
    auto item = create();
    item->m_shareType = SHKShareTypeURL;
    item->m_URL = std::move(url);
    item->m_title = std::move(title);
    return item;
}

fnd::Ref<SHKItem> SHKItem::createWithImage(fnd::Ref<gfx::Image> image, std::optional<std::string> title)
{
    auto item = create();
    item->m_shareType = SHKShareTypeImage;
    item->m_image = std::move(image);
    item->m_title = std::move(title);
    return item;
}

fnd::Ref<SHKItem> SHKItem::createWithText(std::optional<std::string> text)
{
    auto item = create();
    item->m_shareType = SHKShareTypeText;
    item->m_text = std::move(text);
    return item;
}

fnd::Ref<SHKItem> SHKItem::createWithFile(fnd::Ref<fnd::Data> data, std::optional<std::string> filename, std::optional<std::string> mimeType, std::optional<std::string> title)
{
    auto item = create();
    item->m_shareType = SHKShareTypeFile;
    item->m_data = std::move(data);
    item->m_filename = std::move(filename);
    item->m_mimeType = std::move(mimeType);
    item->m_title = std::move(title);
    return item;
}

void SHKItem::setCustomValueForKey(std::optional<std::string> value, std::string_view key)
{
    if (!m_custom)
        m_custom = fnd::MutableDictionary::create();
    if (value)
        m_custom->setObjectForKey(fnd::String::create(std::move(*value)), key);
    else
        m_custom->removeObjectForKey(key);
}

std::optional<std::string> SHKItem::customValueForKey(std::string_view key) const
{
    if (!m_custom)
        return std::nullopt;
    return m_custom->stringForKey(key);
}

bool SHKItem::customBoolForSwitchKey(std::string_view key) const
{
    return customValueForKey(key) == "1";
}

fnd::Ref<fnd::Dictionary> SHKItem::dictionaryRepresentation() const
{
    auto dictionary = fnd::MutableDictionary::create();
    dictionary->setObjectForKey(fnd::Number::withInteger(m_shareType), "shareType");
    if (m_custom)
        dictionary->setObjectForKey(fnd::copyOf(m_custom), "custom");
    if (m_URL)
        dictionary->setObjectForKey(fnd::String::create(m_URL->absoluteString()), "URL");
    setStringValue(*dictionary, m_title, "title");
    setStringValue(*dictionary, m_text, "text");
    setStringValue(*dictionary, m_tags, "tags");
    setStringValue(*dictionary, m_mimeType, "mimeType");
    setStringValue(*dictionary, m_filename, "filename");
    if (m_data)
        dictionary->setObjectForKey(fnd::copyOf(m_data), "data");
    if (m_image) {
        if (auto png = m_image->pngRepresentation())
            dictionary->setObjectForKey(png, "image");
    }
    return dictionary;
}

fnd::Ref<SHKItem> SHKItem::itemFromDictionary(const fnd::Ref<fnd::Dictionary>& dictionary)
{
    if (!dictionary)
        return nullptr;
    auto item = create();
    if (auto shareType = dictionary->objectForKeyAs<fnd::Number>("shareType"))
        item->m_shareType = static_cast<SHKShareType>(shareType->intValue());
    if (auto url = dictionary->stringForKey("URL"))
        item->m_URL = fnd::URL::create(*url);
    item->m_title = dictionary->stringForKey("title");
    item->m_text = dictionary->stringForKey("text");
    item->m_tags = dictionary->stringForKey("tags");
    if (auto custom = dictionary->objectForKeyAs<fnd::Dictionary>("custom"))
        item->m_custom = customValuesFrom(custom);
    item->m_mimeType = dictionary->stringForKey("mimeType");
    item->m_filename = dictionary->stringForKey("filename");
    if (auto image = dictionary->objectForKeyAs<fnd::Data>("image"))
        item->m_image = gfx::Image::createWithData(*image);
    return item;
}

std::string SHKItem::shareTypeToString(int32_t shareType)
{
    switch (shareType) {
    case SHKShareTypeUndefined:
        return "SHKShareTypeUndefined";
    case SHKShareTypeURL:
        return "SHKShareTypeURL";
    case SHKShareTypeText:
        return "SHKShareTypeText";
    case SHKShareTypeImage:
        return "SHKShareTypeImage";
    case SHKShareTypeFile:
        return "SHKShareTypeFile";
    default:
        throw fnd::Exception("NSGenericException", "Unexpected FormatType.");
    }
}

std::string SHKItem::description() const
{
    // Unlike shareTypeToString(), a description never throws: items of every type get logged.
    std::string typeName;
    if (m_shareType >= SHKShareTypeUndefined && m_shareType <= SHKShareTypeFile)
        typeName = shareTypeToString(m_shareType);
    else if (m_shareType == SHKShareTypeUserInfoRequest)
        typeName = "SHKShareTypeUserInfoRequest";
    else
        typeName = fnd::format("%d", static_cast<int32_t>(m_shareType));

    return fnd::format("Share type: %@\nURL:%@\nImage:%@\nTitle: %@\nText: %@\nTags:%@\nCustom fields:%@",
        typeName,
        m_URL ? fnd::FormatArgument(m_URL->absoluteString()) : fnd::FormatArgument(),
        m_image,
        textOrNil(m_title),
        textOrNil(m_text),
        textOrNil(m_tags),
        m_custom);
}
