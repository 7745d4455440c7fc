#pragma once

#include "platform/foundation/Dictionary.h"

#include <cstdint>
#include <string>

namespace fnd {

// A failure reported to the user or a caller: a domain, a code and user information.
class Error final : public Object {
public:
    static constexpr std::string_view localizedDescriptionKey = "NSLocalizedDescription";
    static constexpr std::string_view localizedFailureReasonKey = "NSLocalizedFailureReason";
    static constexpr std::string_view localizedRecoverySuggestionKey = "NSLocalizedRecoverySuggestion";
    static constexpr std::string_view underlyingErrorKey = "NSUnderlyingError";

    static Ref<Error> create(std::string domain, int64_t code, Ref<Dictionary> userInfo = nullptr);
    static Ref<Error> withDescription(std::string domain, int64_t code, std::string localizedDescription);

    Error(std::string domain, int64_t code, Ref<Dictionary> userInfo);
    ~Error() override;

    const std::string& domain() const { return m_domain; }
    int64_t code() const { return m_code; }
    // Never nil: an error without user information has an empty dictionary.
    const Ref<Dictionary>& userInfo() const { return m_userInfo; }
    // The description from the user information, or the platform's generic sentence.
    std::string localizedDescription() const;
    Ref<Error> underlyingError() const;

    std::string_view className() const override { return "Error"; }
    // "Error Domain=D Code=C \"description\" UserInfo={...}"
    std::string description() const override;
    bool holdsObjects() const override { return true; }

private:
    std::string m_domain;
    int64_t m_code;
    Ref<Dictionary> m_userInfo;
};

}
