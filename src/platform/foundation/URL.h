#pragma once

#include "platform/foundation/Object.h"

#include <optional>
#include <string>

namespace fnd {

// An address kept exactly as written (escapes included), with its components split out.
class URL final : public Object {
public:
    // Nothing when the text holds characters an address may not (blanks, non-ASCII, quotes, angle
    // brackets...) or a "%" that does not start an escape.
    static Ref<URL> create(std::string_view text);
    // Resolves a reference against a base address (RFC 3986, section 5).
    static Ref<URL> create(std::string_view text, const URL& base);
    static Ref<URL> fileURL(std::string_view path);

    const std::string& absoluteString() const { return m_text; }
    // Lower-cased, without the ":".
    const std::string& scheme() const { return m_scheme; }
    const std::string& user() const { return m_user; }
    const std::string& password() const { return m_password; }
    const std::string& host() const { return m_host; }
    std::optional<int> port() const { return m_port; }
    // The path still escaped, "" when there is none.
    const std::string& path() const { return m_path; }
    std::optional<std::string> query() const { return m_query; }
    std::optional<std::string> fragment() const { return m_fragment; }
    // Everything after "scheme:".
    std::string resourceSpecifier() const;
    bool isFileURL() const { return m_scheme == "file"; }
    bool hasAuthority() const { return m_hasAuthority; }

    std::string_view className() const override { return "URL"; }
    size_t hash() const override;
    bool isEqual(const Object&) const override;
    std::string description() const override { return m_text; }

    explicit URL(std::string text);

private:
    void parse();

    std::string m_text;
    std::string m_scheme;
    std::string m_user;
    std::string m_password;
    std::string m_host;
    std::optional<int> m_port;
    std::string m_path;
    std::optional<std::string> m_query;
    std::optional<std::string> m_fragment;
    bool m_hasAuthority = false;
};

}
