#include "platform/foundation/HTTPCookie.h"

namespace fnd {

HTTPHeaderFields HTTPCookie::requestHeaderFields(const std::vector<HTTPCookie>& cookies)
{
    HTTPHeaderFields fields;
    std::string header;
    for (auto& cookie : cookies)
        header += (header.empty() ? "" : "; ") + cookie.name + "=" + cookie.value;
    if (!cookies.empty())
        fields.set("Cookie", header);
    return fields;
}

}
