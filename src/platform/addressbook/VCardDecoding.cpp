#include "platform/addressbook/VCardDecoding.h"

#include "platform/foundation/ASCII.h"
#include "platform/foundation/Unicode.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <openssl/evp.h>

namespace ab {

namespace {

bool hasPrefixIgnoringASCIICase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(), [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool isUTF8CharsetName(std::string_view charset)
{
    auto is = [&](std::string_view name) { return charset.size() == name.size() && hasPrefixIgnoringASCIICase(charset, name); };
    return charset.empty() || is("utf-8") || is("utf8");
}

std::optional<std::vector<uint8_t>> percentDecode(std::string_view text)
{
    auto decoded = fnd::ascii::decodingHexEscapes(text, '%');
    if (!decoded)
        return std::nullopt;
    return std::vector<uint8_t>(decoded->begin(), decoded->end());
}

// Owns one iconv conversion descriptor.
class CharsetConverter {
public:
    explicit CharsetConverter(const std::string& charset)
        : m_descriptor(iconv_open("UTF-8", charset.c_str()))
    {
    }
    ~CharsetConverter()
    {
        if (isValid())
            iconv_close(m_descriptor);
    }
    CharsetConverter(const CharsetConverter&) = delete;
    CharsetConverter& operator=(const CharsetConverter&) = delete;

    bool isValid() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(std::string_view bytes)
    {
        std::string input(bytes);
        char* in = input.data();
        size_t inLeft = input.size();
        std::string output;
        char buffer[1024];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof(buffer);
            size_t result = iconv(m_descriptor, &in, &inLeft, &out, &outLeft);
            output.append(buffer, out);
            if (result == static_cast<size_t>(-1) && errno != E2BIG)
                return std::nullopt;
        }
        char* out = buffer;
        size_t outLeft = sizeof(buffer);
        if (iconv(m_descriptor, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
            return std::nullopt;
        output.append(buffer, out);
        return output;
    }

private:
    iconv_t m_descriptor;
};

}

std::optional<std::string> VCardDecoding::decodeQuotedPrintable(std::string_view text)
{
    // A last "=" is a soft line break with nothing after it.
    if (text.ends_with('=') && !text.ends_with("=="))
        text.remove_suffix(1);
    return fnd::ascii::decodingHexEscapes(text, '=');
}

std::optional<std::vector<uint8_t>> VCardDecoding::decodeBase64(std::string_view text)
{
    if (text.size() > static_cast<size_t>(INT32_MAX / 2))
        return std::nullopt;
    std::unique_ptr<EVP_ENCODE_CTX, decltype(&EVP_ENCODE_CTX_free)> context(EVP_ENCODE_CTX_new(), EVP_ENCODE_CTX_free);
    if (!context)
        return std::nullopt;
    std::vector<uint8_t> bytes(text.size() / 4 * 3 + 80);
    EVP_DecodeInit(context.get());
    int written = 0;
    if (EVP_DecodeUpdate(context.get(), bytes.data(), &written, reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size())) < 0)
        return std::nullopt;
    int finalWritten = 0;
    if (EVP_DecodeFinal(context.get(), bytes.data() + written, &finalWritten) < 0)
        return std::nullopt;
    bytes.resize(static_cast<size_t>(written + finalWritten));
    return bytes;
}

std::optional<std::vector<uint8_t>> VCardDecoding::decodeDataURI(std::string_view uri)
{
    if (!hasPrefixIgnoringASCIICase(uri, "data:"))
        return std::nullopt;
    auto comma = uri.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    std::string_view header = uri.substr(5, comma - 5);
    std::string_view payload = uri.substr(comma + 1);
    constexpr std::string_view base64Marker = ";base64";
    bool isBase64 = header.size() >= base64Marker.size()
        && hasPrefixIgnoringASCIICase(header.substr(header.size() - base64Marker.size()), base64Marker);
    if (isBase64)
        return decodeBase64(payload);
    return percentDecode(payload);
}

std::optional<std::string> VCardDecoding::convertToUTF8(std::string_view bytes, std::string_view charset)
{
    if (isUTF8CharsetName(charset))
        return fnd::unicode::sanitizedUTF8(bytes);
    CharsetConverter converter { std::string(charset) };
    if (!converter.isValid())
        return std::nullopt;
    return converter.convert(bytes);
}

std::vector<std::string> VCardDecoding::splitComponents(std::string_view text)
{
    std::vector<std::string> components;
    std::string current;
    for (size_t index = 0; index < text.size(); ++index) {
        char c = text[index];
        if (c == '\\' && index + 1 < text.size()) {
            current += c;
            current += text[++index];
            continue;
        }
        if (c == ';') {
            components.push_back(std::move(current));
            current.clear();
            continue;
        }
        current += c;
    }
    components.push_back(std::move(current));
    return components;
}

std::string VCardDecoding::unescapeText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        char c = text[index];
        if (c != '\\' || index + 1 == text.size()) {
            result += c;
            continue;
        }
        char escaped = text[++index];
        switch (escaped) {
        case 'n':
        case 'N':
            result += '\n';
            break;
        case ',':
        case ';':
        case '\\':
        case ':':
            result += escaped;
            break;
        default:
            result += '\\';
            result += escaped;
        }
    }
    return result;
}

}
