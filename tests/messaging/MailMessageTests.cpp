#include "platform/crypto/Base64.h"
#include "platform/messaging/MailMessage.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string headerValue(const std::string& message, const std::string& name)
{
    for (auto& line : linesOf(message)) {
        if (line.empty())
            break;
        if (line.rfind(name + ": ", 0) == 0)
            return line.substr(name.size() + 2);
    }
    return "(missing)";
}

msg::MailMessage sample()
{
    msg::MailMessage message;
    message.from = "Me <me@example.org>";
    message.to = { "ann@example.org", "bob@example.org" };
    message.subject = "Comments about Brenzo";
    message.body = "Hello<br/><br/>http://example.org/a b";
    message.bodyIsHTML = true;
    message.date = 1700000000;
    message.messageID = "1234@brenzo.invalid";
    return message;
}

TEST(MailMessageTest, SinglePartMessageHasTheHeadersAndAnHTMLBody)
{
    auto text = sample().serialize();
    EXPECT_EQ(headerValue(text, "From"), "Me <me@example.org>");
    EXPECT_EQ(headerValue(text, "To"), "ann@example.org, bob@example.org");
    EXPECT_EQ(headerValue(text, "Subject"), "Comments about Brenzo");
    EXPECT_EQ(headerValue(text, "Date"), "Tue, 14 Nov 2023 22:13:20 +0000");
    EXPECT_EQ(headerValue(text, "Message-ID"), "<1234@brenzo.invalid>");
    EXPECT_EQ(headerValue(text, "MIME-Version"), "1.0");
    EXPECT_EQ(headerValue(text, "Content-Type"), "text/html; charset=UTF-8");
    EXPECT_EQ(headerValue(text, "Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_EQ(headerValue(text, "Cc"), "(missing)");
    // Every line ends with CR LF; the body follows the blank line.
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_NE(text.find("\r\n\r\nHello<br/><br/>http://example.org/a b\r\n"), std::string::npos);

    auto plain = sample();
    plain.bodyIsHTML = false;
    EXPECT_EQ(headerValue(plain.serialize(), "Content-Type"), "text/plain; charset=UTF-8");
}

TEST(MailMessageTest, AttachmentsMakeAMultipartMessage)
{
    auto message = sample();
    std::vector<uint8_t> bytes(200);
    for (size_t index = 0; index < bytes.size(); ++index)
        bytes[index] = static_cast<uint8_t>(index * 7);
    message.attachments.push_back({ fnd::Data::create(bytes), "image/jpeg", "Image.jpg" });
    message.attachments.push_back({ fnd::Data::create(std::vector<uint8_t> { 'h', 'i' }), "", "a \"b\".txt" });
    auto text = message.serialize();
    auto type = headerValue(text, "Content-Type");
    ASSERT_EQ(type.rfind("multipart/mixed; boundary=\"", 0), 0u) << type;
    auto boundary = type.substr(27, type.size() - 28);

    // Split into the parts between the boundary lines.
    std::vector<std::string> parts;
    size_t position = text.find("--" + boundary + "\r\n");
    while (position != std::string::npos) {
        size_t start = position + boundary.size() + 4;
        size_t next = text.find("\r\n--" + boundary, start);
        ASSERT_NE(next, std::string::npos);
        parts.push_back(text.substr(start, next + 2 - start));
        position = text.compare(next + 4 + boundary.size(), 2, "--") == 0 ? std::string::npos : next + 2;
    }
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(headerValue(parts[0], "Content-Type"), "text/html; charset=UTF-8");
    EXPECT_EQ(headerValue(parts[1], "Content-Type"), "image/jpeg; name=\"Image.jpg\"");
    EXPECT_EQ(headerValue(parts[1], "Content-Disposition"), "attachment; filename=\"Image.jpg\"");
    EXPECT_EQ(headerValue(parts[1], "Content-Transfer-Encoding"), "base64");
    auto body = parts[1].substr(parts[1].find("\r\n\r\n") + 4);
    for (auto& line : linesOf(body))
        EXPECT_LE(line.size(), 76u);
    EXPECT_EQ(crypto::base64Decode(body), bytes);
    EXPECT_EQ(headerValue(parts[2], "Content-Type"), "application/octet-stream; name=\"a \\\"b\\\".txt\"");
    EXPECT_NE(text.find("--" + boundary + "--\r\n"), std::string::npos);
}

TEST(MailMessageTest, HeaderValuesCannotAddHeaders)
{
    auto message = sample();
    message.subject = "Hi\r\nBcc: everyone@example.org";
    message.to = { "ann@example.org\nX-Evil: 1" };
    auto text = message.serialize();
    EXPECT_EQ(headerValue(text, "Bcc"), "(missing)");
    EXPECT_EQ(headerValue(text, "X-Evil"), "(missing)");
    EXPECT_EQ(headerValue(text, "Subject"), "Hi  Bcc: everyone@example.org");
}

TEST(MailMessageTest, NonASCIISubjectsAreEncodedWords)
{
    EXPECT_EQ(msg::MailMessage::encodedHeaderText("Caf\u00e9"), "=?UTF-8?B?Q2Fmw6k=?=");
    // Long texts become several words, each whole in UTF-8.
    std::string long_;
    for (int index = 0; index < 40; ++index)
        long_ += "\u00e9";
    auto encoded = msg::MailMessage::encodedHeaderText(long_);
    std::string decoded;
    size_t start = 0;
    while ((start = encoded.find("=?UTF-8?B?", start)) != std::string::npos) {
        size_t end = encoded.find("?=", start + 10);
        auto bytes = crypto::base64Decode(encoded.substr(start + 10, end - start - 10));
        ASSERT_TRUE(bytes);
        ASSERT_NE((*bytes)[0] & 0xC0, 0x80);
        decoded.append(bytes->begin(), bytes->end());
        start = end;
    }
    EXPECT_EQ(decoded, long_);
}

TEST(MailMessageTest, QuotedPrintableKeepsLinesShortAndEscapes)
{
    EXPECT_EQ(msg::MailMessage::quotedPrintable("a=b caf\u00e9 \nend "), "a=3Db caf=C3=A9=20\r\nend=20");
    std::string line(200, 'x');
    auto encoded = msg::MailMessage::quotedPrintable(line);
    std::string rejoined;
    for (auto& piece : linesOf(encoded)) {
        EXPECT_LE(piece.size(), 76u);
        rejoined += piece.back() == '=' ? piece.substr(0, piece.size() - 1) : piece;
    }
    EXPECT_EQ(rejoined, line);
}

}
