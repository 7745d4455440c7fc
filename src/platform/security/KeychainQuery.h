#pragma once

#include <optional>
#include <string>

namespace sec {

// Which generic-password items an operation applies to: an absent service or account matches any.
struct KeychainQuery {
    std::optional<std::string> service;
    std::optional<std::string> account;
};

}
