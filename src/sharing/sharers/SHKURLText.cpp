#include "sharing/sharers/SHKURLText.h"

#include "platform/foundation/PercentEscaping.h"

std::string SHKURLTextWithoutEscapes(const fnd::URL& url)
{
    auto& text = url.absoluteString();
    if (auto unescaped = fnd::PercentEscaping::removingPercentEscapes(text))
        return *unescaped;
    return text;
}
