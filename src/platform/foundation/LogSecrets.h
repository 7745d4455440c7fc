#pragma once

#include <string>
#include <string_view>

namespace fnd {

// Hides the values of secrets in a log line: "access_token=…" in an address or a form,
// "\"password\": \"…\"" in JSON, an "Authorization:" header and the like. The names stay, so a
// line still says what was sent.
class LogSecrets {
public:
    static constexpr std::string_view mask = "********";

    static std::string masked(std::string_view line);
};

}
