#include "support/HttpForm.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace brenzo::testing {

namespace {

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decodeComponent(std::string_view text, bool plusIsBlank)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+' && plusIsBlank) {
            decoded += ' ';
            continue;
        }
        if (c != '%') {
            decoded += c;
            continue;
        }
        int high = i + 1 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? hexDigitValue(text[i + 2]) : -1;
        if (high < 0 || low < 0)
            throw std::invalid_argument("malformed percent escape in \"" + std::string(text) + "\"");
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<std::string> base64Decode(std::string_view text)
{
    if (text.empty() || text.size() % 4)
        return std::nullopt;
    std::string decoded(text.size() / 4 * 3, '\0');
    int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(decoded.data()), reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0)
        return std::nullopt;
    // EVP_DecodeBlock counts the padding as zero bytes.
    size_t padding = text.ends_with("==") ? 2 : text.ends_with("=") ? 1 : 0;
    decoded.resize(static_cast<size_t>(length) - padding);
    return decoded;
}

// The value of a parameter such as name="x" in a Content-Disposition field.
std::optional<std::string> dispositionParameter(std::string_view field, std::string_view parameter)
{
    size_t position = 0;
    while (position < field.size()) {
        size_t end = field.find(';', position);
        if (end == std::string_view::npos)
            end = field.size();
        auto piece = trimmed(field.substr(position, end - position));
        position = end + 1;
        auto equals = piece.find('=');
        if (equals == std::string_view::npos || !equalsIgnoringCase(trimmed(piece.substr(0, equals)), parameter))
            continue;
        auto value = trimmed(piece.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

std::optional<MultipartPart> decodePart(std::string_view text)
{
    MultipartPart part;
    while (true) {
        auto lineEnd = text.find("\r\n");
        if (lineEnd == std::string_view::npos)
            return std::nullopt;
        auto line = text.substr(0, lineEnd);
        text.remove_prefix(lineEnd + 2);
        if (line.empty())
            break;
        auto colon = line.find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        part.headers.emplace_back(std::string(line.substr(0, colon)), std::string(trimmed(line.substr(colon + 1))));
    }
    for (auto& [name, value] : part.headers) {
        if (equalsIgnoringCase(name, "Content-Disposition")) {
            part.name = dispositionParameter(value, "name").value_or("");
            part.filename = dispositionParameter(value, "filename");
        } else if (equalsIgnoringCase(name, "Content-Type")) {
            part.contentType = value;
        }
    }
    part.body = std::string(text);
    return part;
}

}

FormPairs decodeForm(std::string_view body)
{
    FormPairs pairs;
    size_t position = 0;
    while (position <= body.size()) {
        size_t end = body.find('&', position);
        if (end == std::string_view::npos)
            end = body.size();
        auto piece = body.substr(position, end - position);
        position = end + 1;
        if (piece.empty())
            continue;
        auto equals = piece.find('=');
        if (equals == std::string_view::npos)
            pairs.emplace_back(decodeComponent(piece, true), "");
        else
            pairs.emplace_back(decodeComponent(piece.substr(0, equals), true), decodeComponent(piece.substr(equals + 1), true));
    }
    return pairs;
}

FormPairs decodeQuery(std::string_view query)
{
    if (query.starts_with('?'))
        query.remove_prefix(1);
    return decodeForm(query);
}

std::optional<std::string> formValue(const FormPairs& pairs, std::string_view name)
{
    auto found = std::find_if(pairs.begin(), pairs.end(), [&](auto& pair) { return pair.first == name; });
    if (found == pairs.end())
        return std::nullopt;
    return found->second;
}

std::string percentDecode(std::string_view text)
{
    return decodeComponent(text, false);
}

std::optional<BasicCredentials> decodeBasicAuthorization(std::string_view headerValue)
{
    headerValue = trimmed(headerValue);
    auto blank = headerValue.find(' ');
    if (blank == std::string_view::npos || !equalsIgnoringCase(headerValue.substr(0, blank), "Basic"))
        return std::nullopt;
    auto decoded = base64Decode(trimmed(headerValue.substr(blank + 1)));
    if (!decoded)
        return std::nullopt;
    auto colon = decoded->find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    return BasicCredentials { decoded->substr(0, colon), decoded->substr(colon + 1) };
}

std::optional<std::vector<MultipartPart>> decodeMultipart(std::string_view body, std::string_view boundary)
{
    std::string delimiter = "--" + std::string(boundary);
    if (!body.starts_with(delimiter))
        return std::nullopt;
    std::vector<MultipartPart> parts;
    size_t position = delimiter.size();
    std::string separator = "\r\n" + delimiter;
    while (true) {
        if (body.substr(position).starts_with("--"))
            return parts;
        if (!body.substr(position).starts_with("\r\n"))
            return std::nullopt;
        position += 2;
        size_t next = body.find(separator, position);
        if (next == std::string_view::npos)
            return std::nullopt;
        auto part = decodePart(body.substr(position, next - position));
        if (!part)
            return std::nullopt;
        parts.push_back(std::move(*part));
        position = next + separator.size();
    }
}

std::vector<MultipartPart> partsOf(const httplib::MultipartFormDataMap& files)
{
    std::vector<MultipartPart> parts;
    for (auto& [key, file] : files) {
        MultipartPart part;
        part.name = file.name;
        if (!file.filename.empty())
            part.filename = file.filename;
        part.contentType = file.content_type;
        part.body = file.content;
        parts.push_back(std::move(part));
    }
    return parts;
}

const MultipartPart* findPart(const std::vector<MultipartPart>& parts, std::string_view name)
{
    auto found = std::find_if(parts.begin(), parts.end(), [&](auto& part) { return part.name == name; });
    return found == parts.end() ? nullptr : &*found;
}

}
