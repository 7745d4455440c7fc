#include "platform/messaging/MailMessage.h"

#include "platform/crypto/Base64.h"
#include "platform/foundation/UUID.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace msg {

namespace {

constexpr std::string_view lineEnd = "\r\n";
constexpr size_t maximumLine = 76;

bool isPlainASCII(std::string_view text)
{
    for (unsigned char character : text) {
        if (character < 0x20 || character > 0x7e)
            return false;
    }
    return true;
}

// Header fields longer than a line fold after the commas of a list.
std::string listHeader(std::string_view name, const std::vector<std::string>& addresses)
{
    std::string line = std::string(name) + ": ";
    size_t lineStart = 0;
    for (size_t index = 0; index < addresses.size(); ++index) {
        auto address = MailMessage::headerSafe(addresses[index]);
        if (index > 0) {
            line += ",";
            if (line.size() - lineStart + address.size() + 1 > 78) {
                line += std::string(lineEnd) + " ";
                lineStart = line.size() - 1;
            } else {
                line += " ";
            }
        }
        line += address;
    }
    return line + std::string(lineEnd);
}

std::string quotedParameter(std::string_view value)
{
    std::string quoted = "\"";
    for (char character : MailMessage::headerSafe(value)) {
        if (character == '"' || character == '\\')
            quoted += '\\';
        quoted += character;
    }
    return quoted + "\"";
}

std::string wrappedBase64(std::span<const uint8_t> bytes)
{
    auto encoded = crypto::base64Encode(bytes);
    std::string wrapped;
    for (size_t start = 0; start < encoded.size(); start += maximumLine) {
        wrapped += encoded.substr(start, maximumLine);
        wrapped += lineEnd;
    }
    return wrapped;
}

}

std::string MailMessage::headerSafe(std::string_view value)
{
    std::string safe(value);
    for (auto& character : safe) {
        if (character == '\r' || character == '\n')
            character = ' ';
    }
    return safe;
}

std::string MailMessage::encodedHeaderText(std::string_view text)
{
    auto safe = headerSafe(text);
    if (isPlainASCII(safe))
        return safe;
    // Encoded words of at most 45 bytes of text each (60 characters of base64), split between
    // UTF-8 sequences, joined by folding white space.
    std::string result;
    size_t start = 0;
    while (start < safe.size()) {
        size_t end = std::min(safe.size(), start + 45);
        while (end < safe.size() && end > start && (static_cast<unsigned char>(safe[end]) & 0xC0) == 0x80)
            --end;
        if (!result.empty())
            result += std::string(lineEnd) + " ";
        result += "=?UTF-8?B?" + crypto::base64Encode(std::string_view(safe).substr(start, end - start)) + "?=";
        start = end;
    }
    return result;
}

std::string MailMessage::quotedPrintable(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string output;
    size_t lineLength = 0;
    auto append = [&](std::string_view piece) {
        // A soft break keeps every line within 76 characters.
        if (lineLength + piece.size() > maximumLine - 1) {
            output += "=";
            output += lineEnd;
            lineLength = 0;
        }
        output += piece;
        lineLength += piece.size();
    };
    for (size_t index = 0; index < text.size(); ++index) {
        unsigned char character = text[index];
        if (character == '\r' && index + 1 < text.size() && text[index + 1] == '\n')
            continue;
        if (character == '\n') {
            output += lineEnd;
            lineLength = 0;
            continue;
        }
        bool atLineEnd = index + 1 == text.size() || text[index + 1] == '\n' || text[index + 1] == '\r';
        bool literal = (character >= 33 && character <= 126 && character != '=') || ((character == ' ' || character == '\t') && !atLineEnd);
        if (literal) {
            append(std::string(1, static_cast<char>(character)));
        } else {
            char escaped[4] = { '=', hex[character >> 4], hex[character & 15], 0 };
            append(escaped);
        }
    }
    return output;
}

std::string MailMessage::dateText(double secondsSince1970)
{
    static constexpr const char* days[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    static constexpr const char* months[] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    auto seconds = static_cast<time_t>(std::floor(secondsSince1970));
    std::tm parts {};
    gmtime_r(&seconds, &parts);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", days[parts.tm_wday], parts.tm_mday, months[parts.tm_mon],
        parts.tm_year + 1900, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::string MailMessage::serialize() const
{
    std::string message;
    auto header = [&](std::string_view name, std::string_view value) {
        message += std::string(name) + ": " + std::string(value) + std::string(lineEnd);
    };
    if (!from.empty())
        header("From", headerSafe(from));
    if (!to.empty())
        message += listHeader("To", to);
    if (!cc.empty())
        message += listHeader("Cc", cc);
    if (!bcc.empty())
        message += listHeader("Bcc", bcc);
    header("Subject", encodedHeaderText(subject));
    header("Date", dateText(date));
    header("Message-ID", "<" + headerSafe(messageID.empty() ? fnd::UUID::createString() + "@brenzo.invalid" : messageID) + ">");
    header("MIME-Version", "1.0");
    header("X-Mailer", "Brenzo");

    std::string textType = bodyIsHTML ? "text/html; charset=UTF-8" : "text/plain; charset=UTF-8";
    if (attachments.empty()) {
        header("Content-Type", textType);
        header("Content-Transfer-Encoding", "quoted-printable");
        message += lineEnd;
        message += quotedPrintable(body);
        message += lineEnd;
        return message;
    }

    std::string boundary = "=_brenzo_" + fnd::UUID::createString();
    header("Content-Type", "multipart/mixed; boundary=\"" + boundary + "\"");
    message += lineEnd;
    message += "This is a message with several parts in MIME format.";
    message += lineEnd;
    message += "--" + boundary + std::string(lineEnd);
    header("Content-Type", textType);
    header("Content-Transfer-Encoding", "quoted-printable");
    message += lineEnd;
    message += quotedPrintable(body);
    message += lineEnd;
    for (auto& attachment : attachments) {
        message += "--" + boundary + std::string(lineEnd);
        auto type = headerSafe(attachment.mimeType.empty() ? "application/octet-stream" : attachment.mimeType);
        auto name = quotedParameter(encodedHeaderText(attachment.fileName));
        header("Content-Type", type + "; name=" + name);
        header("Content-Disposition", "attachment; filename=" + name);
        header("Content-Transfer-Encoding", "base64");
        message += lineEnd;
        if (attachment.data)
            message += wrappedBase64(attachment.data->span());
    }
    message += "--" + boundary + "--" + std::string(lineEnd);
    return message;
}

}
