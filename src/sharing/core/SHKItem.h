#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/URL.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What a share item holds. Stored as a plain integer, so values outside the list survive a round trip.
enum SHKShareType : int32_t {
    SHKShareTypeUndefined = 0,
    SHKShareTypeURL = 1,
    SHKShareTypeText = 2,
    SHKShareTypeImage = 3,
    SHKShareTypeFile = 4,
    SHKShareTypeUserInfoRequest = 5,
};

// The thing being shared: a URL, a text, an image, a file or a request for the user's account
// information, with a title, tags and service-specific custom values (texts; switches are "1" or "0").
class SHKItem : public fnd::Object {
public:
    // An empty item of share type 0.
    static fnd::Ref<SHKItem> create();
    static fnd::Ref<SHKItem> createWithURL(fnd::Ref<fnd::URL>, std::optional<std::string> title = {});
    static fnd::Ref<SHKItem> createWithImage(fnd::Ref<gfx::Image>, std::optional<std::string> title = {});
    static fnd::Ref<SHKItem> createWithText(std::optional<std::string> text);
    static fnd::Ref<SHKItem> createWithFile(fnd::Ref<fnd::Data>, std::optional<std::string> filename, std::optional<std::string> mimeType, std::optional<std::string> title);

    // Rebuilds an item from its dictionary form; a value of the wrong type counts as absent. The file
    // contents ("data") are not read back. Nil for a nil dictionary.
    static fnd::Ref<SHKItem> itemFromDictionary(const fnd::Ref<fnd::Dictionary>&);
    // A property-list dictionary: the share type always, every other property that is set.
    fnd::Ref<fnd::Dictionary> dictionaryRepresentation() const;

    // "SHKShareTypeUndefined" ... "SHKShareTypeFile"; any other value throws an "NSGenericException"
    // with the reason "Unexpected FormatType.".
    static std::string shareTypeToString(int32_t shareType);

    SHKShareType shareType() const { return m_shareType; }
    void setShareType(SHKShareType shareType) { m_shareType = shareType; }
    const fnd::Ref<fnd::URL>& URL() const { return m_URL; }
    void setURL(fnd::Ref<fnd::URL> url) { m_URL = std::move(url); }
    const fnd::Ref<gfx::Image>& image() const { return m_image; }
    void setImage(fnd::Ref<gfx::Image> image) { m_image = std::move(image); }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    const std::optional<std::string>& text() const { return m_text; }
    void setText(std::optional<std::string> text) { m_text = std::move(text); }
    const std::optional<std::string>& tags() const { return m_tags; }
    void setTags(std::optional<std::string> tags) { m_tags = std::move(tags); }
    const fnd::Ref<fnd::Data>& data() const { return m_data; }
    void setData(fnd::Ref<fnd::Data> data) { m_data = std::move(data); }
    const std::optional<std::string>& mimeType() const { return m_mimeType; }
    void setMimeType(std::optional<std::string> mimeType) { m_mimeType = std::move(mimeType); }
    const std::optional<std::string>& filename() const { return m_filename; }
    void setFilename(std::optional<std::string> filename) { m_filename = std::move(filename); }

    // Nil until the first custom value is set.
    const fnd::Ref<fnd::MutableDictionary>& custom() const { return m_custom; }
    void setCustom(fnd::Ref<fnd::MutableDictionary> custom) { m_custom = std::move(custom); }
    // A nil value removes the key.
    void setCustomValueForKey(std::optional<std::string> value, std::string_view key);
    std::optional<std::string> customValueForKey(std::string_view key) const;
    // True exactly when the value under the key is "1".
    bool customBoolForSwitchKey(std::string_view key) const;

    std::string_view className() const override { return "SHKItem"; }
    std::string description() const override;

    SHKItem() = default;

private:
    SHKShareType m_shareType = SHKShareTypeUndefined;
    fnd::Ref<fnd::URL> m_URL;
    fnd::Ref<gfx::Image> m_image;
    std::optional<std::string> m_title;
    std::optional<std::string> m_text;
    std::optional<std::string> m_tags;
    fnd::Ref<fnd::Data> m_data;
    std::optional<std::string> m_mimeType;
    std::optional<std::string> m_filename;
    fnd::Ref<fnd::MutableDictionary> m_custom;
};
