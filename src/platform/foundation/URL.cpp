#include "platform/foundation/URL.h"

#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"

#include <cctype>
#include <vector>

namespace fnd {

namespace {

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c));
}

bool isAllowedInURL(char c)
{
    if (std::isalnum(static_cast<unsigned char>(c)))
        return true;
    static constexpr std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=%";
    return allowed.find(c) != std::string_view::npos;
}

bool isValidURLText(std::string_view text)
{
    for (size_t index = 0; index < text.size(); ++index) {
        char c = text[index];
        if (!isAllowedInURL(c))
            return false;
        if (c == '%' && (index + 2 >= text.size() || !isHex(text[index + 1]) || !isHex(text[index + 2])))
            return false;
    }
    return true;
}

std::string lowercasedASCII(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

struct Reference {
    std::optional<std::string> scheme;
    std::optional<std::string> authority;
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;
};

// The split of RFC 3986, appendix B.
Reference split(std::string_view text)
{
    Reference reference;
    size_t schemeEnd = text.find_first_of(":/?#");
    if (schemeEnd != std::string_view::npos && schemeEnd > 0 && text[schemeEnd] == ':' && std::isalpha(static_cast<unsigned char>(text[0]))) {
        reference.scheme = std::string(text.substr(0, schemeEnd));
        text.remove_prefix(schemeEnd + 1);
    }
    if (text.starts_with("//")) {
        text.remove_prefix(2);
        size_t authorityEnd = text.find_first_of("/?#");
        reference.authority = std::string(text.substr(0, authorityEnd));
        text.remove_prefix(authorityEnd == std::string_view::npos ? text.size() : authorityEnd);
    }
    size_t fragmentStart = text.find('#');
    if (fragmentStart != std::string_view::npos) {
        reference.fragment = std::string(text.substr(fragmentStart + 1));
        text = text.substr(0, fragmentStart);
    }
    size_t queryStart = text.find('?');
    if (queryStart != std::string_view::npos) {
        reference.query = std::string(text.substr(queryStart + 1));
        text = text.substr(0, queryStart);
    }
    reference.path = std::string(text);
    return reference;
}

std::string removeDotSegments(std::string_view path)
{
    std::vector<std::string> output;
    bool absolute = path.starts_with("/");
    size_t start = absolute ? 1 : 0;
    bool trailingSlash = false;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        std::string_view segment = path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        trailingSlash = false;
        if (segment == "..") {
            if (!output.empty())
                output.pop_back();
            trailingSlash = true;
        } else if (segment == ".") {
            trailingSlash = true;
        } else {
            output.emplace_back(segment);
        }
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    std::string result = absolute ? "/" : "";
    for (size_t index = 0; index < output.size(); ++index) {
        if (index)
            result += "/";
        result += output[index];
    }
    if (trailingSlash && !result.ends_with("/"))
        result += "/";
    return result;
}

std::string recompose(const Reference& reference)
{
    std::string text;
    if (reference.scheme)
        text += *reference.scheme + ":";
    if (reference.authority)
        text += "//" + *reference.authority;
    text += reference.path;
    if (reference.query)
        text += "?" + *reference.query;
    if (reference.fragment)
        text += "#" + *reference.fragment;
    return text;
}

}

URL::URL(std::string text)
    : m_text(std::move(text))
{
    parse();
}

Ref<URL> URL::create(std::string_view text)
{
    if (!isValidURLText(text))
        return nullptr;
    return std::make_shared<URL>(std::string(text));
}

Ref<URL> URL::create(std::string_view text, const URL& base)
{
    if (!isValidURLText(text))
        return nullptr;
    Reference reference = split(text);
    if (reference.scheme)
        return std::make_shared<URL>(std::string(text));
    Reference baseParts = split(base.m_text);
    Reference target;
    target.scheme = baseParts.scheme;
    target.fragment = reference.fragment;
    if (reference.authority) {
        target.authority = reference.authority;
        target.path = removeDotSegments(reference.path);
        target.query = reference.query;
    } else {
        target.authority = baseParts.authority;
        if (reference.path.empty()) {
            target.path = baseParts.path;
            target.query = reference.query ? reference.query : baseParts.query;
        } else {
            if (reference.path.starts_with("/")) {
                target.path = removeDotSegments(reference.path);
            } else {
                std::string merged;
                if (baseParts.authority && baseParts.path.empty())
                    merged = "/" + reference.path;
                else
                    merged = baseParts.path.substr(0, baseParts.path.rfind('/') + 1) + reference.path;
                target.path = removeDotSegments(merged);
            }
            target.query = reference.query;
        }
    }
    return std::make_shared<URL>(recompose(target));
}

Ref<URL> URL::fileURL(std::string_view path)
{
    std::string escaped;
    for (char c : path) {
        if (isAllowedInURL(c) && c != '%' && c != '?' && c != '#') {
            escaped.push_back(c);
        } else {
            static constexpr char hex[] = "0123456789ABCDEF";
            unsigned char byte = static_cast<unsigned char>(c);
            escaped += '%';
            escaped += hex[byte >> 4];
            escaped += hex[byte & 0xF];
        }
    }
    return std::make_shared<URL>("file://" + escaped);
}

void URL::parse()
{
    Reference reference = split(m_text);
    m_scheme = reference.scheme ? lowercasedASCII(*reference.scheme) : "";
    m_path = reference.path;
    m_query = reference.query;
    m_fragment = reference.fragment;
    m_hasAuthority = reference.authority.has_value();
    if (!reference.authority)
        return;
    std::string_view authority = *reference.authority;
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        std::string_view userInfo = authority.substr(0, at);
        size_t colon = userInfo.find(':');
        m_user = std::string(userInfo.substr(0, colon));
        if (colon != std::string_view::npos)
            m_password = std::string(userInfo.substr(colon + 1));
        authority.remove_prefix(at + 1);
    }
    std::string_view hostPart = authority;
    size_t portColon = std::string_view::npos;
    if (authority.starts_with("[")) {
        size_t close = authority.find(']');
        if (close != std::string_view::npos && close + 1 < authority.size() && authority[close + 1] == ':')
            portColon = close + 1;
    } else {
        portColon = authority.rfind(':');
    }
    if (portColon != std::string_view::npos) {
        hostPart = authority.substr(0, portColon);
        std::string_view portText = authority.substr(portColon + 1);
        if (!portText.empty() && portText.size() <= 5 && portText.find_first_not_of("0123456789") == std::string_view::npos)
            m_port = std::stoi(std::string(portText));
    }
    m_host = std::string(hostPart);
}

std::string URL::resourceSpecifier() const
{
    if (m_scheme.empty())
        return m_text;
    size_t colon = m_text.find(':');
    return m_text.substr(colon + 1);
}

size_t URL::hash() const
{
    return hashBytes(m_text);
}

bool URL::isEqual(const Object& other) const
{
    auto* url = dynamic_cast<const URL*>(&other);
    return url && url->m_text == m_text;
}

}
