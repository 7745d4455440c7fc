#include "sharing/core/SHKEscaping.h"

#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/Unicode.h"

#include <set>

namespace {

void replaceAll(std::string& text, std::string_view target, std::string_view replacement)
{
    if (target.empty())
        return;
    std::string result;
    size_t start = 0;
    for (size_t found = text.find(target); found != std::string::npos; found = text.find(target, start)) {
        result.append(text, start, found - start);
        result.append(replacement);
        start = found + target.size();
    }
    if (!start)
        return;
    result.append(text, start, std::string::npos);
    text = std::move(result);
}

}

std::string SHKEscapeFormValue(std::optional<std::string_view> value)
{
    if (!value)
        return "";
    std::string text(*value);
    replaceAll(text, "&amp;", "&");
    text = fnd::PercentEscaping::addingPercentEscapes(text);
    replaceAll(text, "&", "%26");
    replaceAll(text, "+", "%2B");
    replaceAll(text, "#", "%23");
    replaceAll(text, "!", "%21");
    replaceAll(text, "@", "%40");
    return text;
}

std::string SHKEscapeURL(const fnd::Ref<fnd::URL>& url)
{
    if (!url)
        return "";
    return fnd::PercentEscaping::addingPercentEscapes(url->absoluteString(), "", "!*'();:@&=+$,/?%#[]");
}

std::string SHKStripHTMLTags(std::string_view html, bool keepLineFeeds)
{
    // Each tag found while scanning the original text is replaced, wherever it occurs, in the copy.
    std::string text(html);
    std::set<std::string, std::less<>> replacedTags;
    size_t position = 0;
    while (position < html.size()) {
        size_t tagStart = html.find('<', position);
        if (tagStart == std::string_view::npos)
            break;
        size_t tagEnd = html.find('>', tagStart);
        if (tagEnd == std::string_view::npos)
            break;
        std::string tag(html.substr(tagStart, tagEnd + 1 - tagStart));
        if (replacedTags.insert(tag).second)
            replaceAll(text, tag, " ");
        position = tagEnd;
    }
    if (!keepLineFeeds)
        replaceAll(text, "\n", "");
    return fnd::unicode::trimmedWhitespaceAndNewlines(text);
}

std::string SHKEscapeMarkup(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char character : text) {
        switch (character) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += character;
        }
    }
    return escaped;
}
