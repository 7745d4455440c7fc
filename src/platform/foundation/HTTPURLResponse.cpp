#include "platform/foundation/HTTPURLResponse.h"

#include "platform/foundation/ASCII.h"
#include "platform/foundation/Unicode.h"

#include <charconv>
#include <map>

namespace fnd {

HTTPURLResponse::HTTPURLResponse(Ref<URL> url, int statusCode, HTTPHeaderFields headers)
    : m_url(std::move(url))
    , m_statusCode(statusCode)
    , m_headers(std::move(headers))
{
}

int64_t HTTPURLResponse::expectedContentLength() const
{
    auto length = m_headers.value("Content-Length");
    if (!length)
        return -1;
    // The bytes delivered are decoded; the header counts the encoded ones.
    auto encoding = m_headers.value("Content-Encoding");
    if (encoding && fnd::ascii::trimmedBlanksAndTabs(*encoding) != "identity")
        return -1;
    std::string_view text = fnd::ascii::trimmedBlanksAndTabs(*length);
    int64_t value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return -1;
    return value;
}

std::optional<std::string> HTTPURLResponse::mimeType() const
{
    auto type = m_headers.value("Content-Type");
    if (!type)
        return std::nullopt;
    std::string_view text = *type;
    text = fnd::ascii::trimmedBlanksAndTabs(text.substr(0, text.find(';')));
    if (text.empty())
        return std::nullopt;
    return unicode::lowercased(text);
}

std::optional<std::string> HTTPURLResponse::textEncodingName() const
{
    auto type = m_headers.value("Content-Type");
    if (!type)
        return std::nullopt;
    std::string_view text = *type;
    for (size_t start = text.find(';'); start != std::string_view::npos; start = text.find(';', start + 1)) {
        auto parameter = fnd::ascii::trimmedBlanksAndTabs(text.substr(start + 1, text.find(';', start + 1) - start - 1));
        auto equals = parameter.find('=');
        if (equals == std::string_view::npos || unicode::lowercased(fnd::ascii::trimmedBlanksAndTabs(parameter.substr(0, equals))) != "charset")
            continue;
        auto value = fnd::ascii::trimmedBlanksAndTabs(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (!value.empty())
            return unicode::lowercased(value);
    }
    return std::nullopt;
}

std::string HTTPURLResponse::statusCodePhrase(int statusCode)
{
    static const std::map<int, std::string_view> phrases {
        { 100, "continue" }, { 101, "switching protocols" },
        { 200, "no error" }, { 201, "created" }, { 202, "accepted" }, { 203, "non-authoritative information" },
        { 204, "no content" }, { 205, "reset content" }, { 206, "partial content" },
        { 300, "multiple choices" }, { 301, "moved permanently" }, { 302, "found" }, { 303, "see other" },
        { 304, "not modified" }, { 305, "use proxy" }, { 307, "temporary redirect" }, { 308, "permanent redirect" },
        { 400, "bad request" }, { 401, "unauthorized" }, { 402, "payment required" }, { 403, "forbidden" },
        { 404, "not found" }, { 405, "method not allowed" }, { 406, "not acceptable" },
        { 407, "proxy authentication required" }, { 408, "request timeout" }, { 409, "conflict" }, { 410, "gone" },
        { 411, "length required" }, { 412, "precondition failed" }, { 413, "payload too large" },
        { 414, "uri too long" }, { 415, "unsupported media type" }, { 416, "range not satisfiable" },
        { 417, "expectation failed" }, { 422, "unprocessable entity" }, { 429, "too many requests" },
        { 500, "internal server error" }, { 501, "not implemented" }, { 502, "bad gateway" },
        { 503, "service unavailable" }, { 504, "gateway timeout" }, { 505, "http version not supported" },
    };
    if (auto found = phrases.find(statusCode); found != phrases.end())
        return std::string(found->second);
    switch (statusCode / 100) {
    case 1:
        return "informational";
    case 2:
        return "success";
    case 3:
        return "redirected";
    case 4:
        return "client error";
    default:
        return "server error";
    }
}

}
