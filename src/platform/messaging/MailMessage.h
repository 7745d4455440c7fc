#pragma once

#include "platform/foundation/Data.h"

#include <string>
#include <string_view>
#include <vector>

namespace msg {

// A mail as an RFC 5322 message with MIME parts: the body as one text part (HTML or plain, UTF-8,
// quoted-printable) and, when there are attachments, a multipart/mixed message with each attachment
// in base64. Header texts lose any line breaks, so no value can add a header of its own; non-ASCII
// subjects and names are written as encoded words.
class MailMessage {
public:
    struct Attachment {
        fnd::Ref<fnd::Data> data;
        std::string mimeType;
        std::string fileName;
    };

    std::string from;
    std::vector<std::string> to;
    std::vector<std::string> cc;
    std::vector<std::string> bcc;
    std::string subject;
    std::string body;
    bool bodyIsHTML = false;
    std::vector<Attachment> attachments;
    // Seconds since 1970.
    double date = 0;
    // Without the angle brackets.
    std::string messageID;

    // The whole message, lines ended by CR LF.
    std::string serialize() const;

    // Building blocks, public for tests.
    static std::string quotedPrintable(std::string_view);
    // An encoded word ("=?UTF-8?B?...?=") for text that is not plain ASCII, the text itself otherwise.
    static std::string encodedHeaderText(std::string_view);
    // "Wed, 09 Dec 2026 05:31:49 +0000".
    static std::string dateText(double secondsSince1970);
    // The value with CR and LF turned to blanks.
    static std::string headerSafe(std::string_view);
};

}
