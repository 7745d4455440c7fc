#pragma once

#include "platform/foundation/HTTPHeaderFields.h"
#include "platform/foundation/URL.h"

#include <cstdint>
#include <optional>
#include <string>

namespace fnd {

// The status and header fields of one HTTP response.
class HTTPURLResponse {
public:
    HTTPURLResponse(Ref<URL>, int statusCode, HTTPHeaderFields);

    // The address that answered: the last one after redirects.
    const Ref<URL>& url() const { return m_url; }
    int statusCode() const { return m_statusCode; }
    const HTTPHeaderFields& allHeaderFields() const { return m_headers; }
    std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const { return m_headers.value(field); }
    // From "Content-Length"; -1 when unknown or when the body arrives decoded from a content encoding.
    int64_t expectedContentLength() const;
    // The media type of "Content-Type" in lower case, without parameters ("text/html").
    std::optional<std::string> mimeType() const;
    // Its "charset" parameter, when there is one.
    std::optional<std::string> textEncodingName() const;

    // The platform's text for a status code: the standard reason phrase in lower case ("not found",
    // "internal server error"), "no error" for 200, and the class of the code for codes it does not know.
    static std::string statusCodePhrase(int statusCode);

private:
    Ref<URL> m_url;
    int m_statusCode;
    HTTPHeaderFields m_headers;
};

}
