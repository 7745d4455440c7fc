#include "services/evernote/EvernoteNoteMarkup.h"

#include "platform/crypto/Digest.h"
#include "platform/foundation/Format.h"
#include "sharing/core/SHKEscaping.h"

std::string EvernoteNoteMarkup::header(std::string_view dtdAddress)
{
    return fnd::format("<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE en-note SYSTEM \"%@\">"
                       "<en-note style=\"word-wrap: break-word; -webkit-nbsp-mode: space; -webkit-line-break: after-white-space;\">",
        SHKEscapeMarkup(dtdAddress));
}

EDAMData EvernoteNoteMarkup::dataObject(std::span<const uint8_t> bytes)
{
    auto digest = crypto::md5(bytes);
    EDAMData data;
    data.__set_bodyHash(std::string(digest.begin(), digest.end()));
    data.__set_size(static_cast<int32_t>(bytes.size()));
    data.__set_body(std::string(bytes.begin(), bytes.end()));
    return data;
}

std::string EvernoteNoteMarkup::enMediaTag(const EDAMResource& resource, double width, double height)
{
    std::string size;
    if (width > 0 && height > 0)
        size = fnd::format("height=\"%.0f\" width=\"%.0f\" ", height, width);
    auto& body = resource.data.body;
    auto hash = crypto::md5Hex(std::span(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
    return fnd::format("<en-media type=\"%@\" %@hash=\"%@\"/>", SHKEscapeMarkup(resource.mime), size, hash);
}
