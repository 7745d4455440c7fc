#pragma once

#include "platform/foundation/HTTPHeaderFields.h"

#include <optional>
#include <string>
#include <vector>

namespace fnd {

// One cookie of the shared cookie store.
struct HTTPCookie {
    std::string name;
    std::string value;
    // Without a leading ".".
    std::string domain;
    std::string path;
    // False when the cookie is also sent to the domain's subdomains.
    bool hostOnly = true;
    bool secure = false;
    bool httpOnly = false;
    // Seconds since 1970; nothing for a cookie that lasts as long as the session.
    std::optional<double> expiresDate = std::nullopt;

    // The fields that send these cookies with a request: "Cookie" = "name=value; name=value" in
    // their order, or no field at all for no cookies.
    static HTTPHeaderFields requestHeaderFields(const std::vector<HTTPCookie>&);
};

}
