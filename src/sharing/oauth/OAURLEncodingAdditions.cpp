#include "sharing/oauth/OAURLEncodingAdditions.h"

#include "platform/foundation/PercentEscaping.h"

std::string OAURLEncodedString(std::string_view text)
{
    static const auto unreserved = fnd::PercentEscaping::CharacterSet::unreserved();
    return fnd::PercentEscaping::addingPercentEscapes(text, unreserved);
}

std::string OAURLDecodedString(std::string_view text)
{
    if (auto decoded = fnd::PercentEscaping::removingPercentEscapes(text))
        return std::move(*decoded);
    return std::string(text);
}

std::string OAURLStringWithoutQuery(const fnd::URL& url)
{
    auto& text = url.absoluteString();
    return text.substr(0, text.find('?'));
}
