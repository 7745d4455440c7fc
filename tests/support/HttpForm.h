#pragma once

#include <httplib.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Decoders for what a client sends a loopback peer: form bodies, query strings, Basic
// authorisation and multipart bodies. They are written independently of the code under test, so
// they parse strictly: a malformed percent escape throws std::invalid_argument.
//
// Multipart bodies: the loopback server's HTTP library parses multipart/form-data itself and
// leaves the recorded body empty, so for such requests a test reads RecordedRequest::parts
// (made by partsOf() below; a part without a name is filed under "" and its filename is lost, and
// parts come sorted by name). To check the exact bytes a client builds, give the builder's output
// to decodeMultipart() in a unit test instead.

namespace brenzo::testing {

using FormPairs = std::vector<std::pair<std::string, std::string>>;

// application/x-www-form-urlencoded: "&"-separated name=value pairs in their order, "+" is a
// blank, percent escapes are decoded. A pair without "=" has an empty value; empty pieces are
// skipped.
FormPairs decodeForm(std::string_view body);
// The same for a URL's query; a leading "?" is allowed.
FormPairs decodeQuery(std::string_view query);
// The value of the first pair with this name.
std::optional<std::string> formValue(const FormPairs&, std::string_view name);

// Decodes percent escapes only ("+" stays "+").
std::string percentDecode(std::string_view);

struct BasicCredentials {
    std::string user;
    std::string password;
};
// "Basic <base64 of user:password>" (the scheme in any case); the password may hold ":".
// Nothing for another scheme or bad base64.
std::optional<BasicCredentials> decodeBasicAuthorization(std::string_view headerValue);

struct MultipartPart {
    // The part's header fields in their order, names as sent.
    std::vector<std::pair<std::string, std::string>> headers;
    // From Content-Disposition.
    std::string name;
    std::optional<std::string> filename;
    std::string contentType;
    std::string body;
};

// Splits a multipart body on "--boundary" lines (CRLF line ends). Nothing when the body is not
// well formed: no opening delimiter, no closing "--boundary--", or a part without the empty line
// after its headers.
std::optional<std::vector<MultipartPart>> decodeMultipart(std::string_view body, std::string_view boundary);

// The parts the HTTP library parsed out of a multipart/form-data request.
std::vector<MultipartPart> partsOf(const httplib::MultipartFormDataMap&);

// The first part with this name.
const MultipartPart* findPart(const std::vector<MultipartPart>&, std::string_view name);

}
