#include "platform/addressbook/VCardReader.h"

#include "platform/addressbook/PhoneLabel.h"
#include "platform/addressbook/VCardContentLine.h"
#include "platform/addressbook/VCardDecoding.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Unicode.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>

namespace ab {

namespace {

struct LogicalLine {
    std::string text;
    size_t lineNumber;
};

bool containsIgnoringASCIICase(std::string_view text, std::string_view fragment)
{
    auto found = std::search(text.begin(), text.end(), fragment.begin(), fragment.end(),
        [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
    return found != text.end();
}

bool equalIgnoringASCIICase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && containsIgnoringASCIICase(a, b);
}

// Quoted-printable values end a line with "=" when they go on in the next one.
bool continuesOnNextLine(const std::string& line)
{
    if (line.empty() || line.back() != '=')
        return false;
    auto head = std::string_view(line).substr(0, line.find(':'));
    return containsIgnoringASCIICase(head, "QUOTED-PRINTABLE");
}

std::vector<LogicalLine> unfoldLines(std::string_view text)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark))
        text.remove_prefix(byteOrderMark.size());

    std::vector<LogicalLine> lines;
    size_t lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view physical = text.substr(0, end);
        if (end == std::string_view::npos)
            text = {};
        else
            text.remove_prefix(end + (text.substr(end).starts_with("\r\n") ? 2 : 1));
        ++lineNumber;

        bool isFolded = !physical.empty() && (physical.front() == ' ' || physical.front() == '\t');
        if (isFolded && !lines.empty()) {
            lines.back().text.append(physical.substr(1));
            continue;
        }
        if (!lines.empty() && continuesOnNextLine(lines.back().text)) {
            lines.back().text.pop_back();
            lines.back().text.append(physical);
            continue;
        }
        lines.push_back({ std::string(physical), lineNumber });
    }
    return lines;
}

bool isCardBoundary(const VCardContentLine& line, std::string_view name)
{
    return line.name() == name && line.group().empty()
        && equalIgnoringASCIICase(fnd::unicode::trimmedWhitespaceAndNewlines(line.value()), "VCARD");
}

fnd::Ref<fnd::String> stringOrNil(std::string_view text)
{
    auto trimmed = fnd::unicode::trimmedWhitespaceAndNewlines(text);
    return trimmed.empty() ? nullptr : fnd::String::create(std::move(trimmed));
}

std::string_view standardLabelForTypes(const std::vector<std::string>& types, std::string_view& customLabel)
{
    auto has = [&](std::string_view wanted) {
        return std::any_of(types.begin(), types.end(), [&](const std::string& type) { return equalIgnoringASCIICase(type, wanted); });
    };
    static constexpr std::string_view known[] = { "IPHONE", "FAX", "CELL", "MOBILE", "PAGER", "MAIN", "HOME", "WORK", "OTHER" };
    // Qualifiers, not labels.
    static constexpr std::string_view ignored[] = { "VOICE", "PREF", "MSG", "TEXT" };
    for (auto& type : types) {
        auto matches = [&](std::string_view name) { return equalIgnoringASCIICase(type, name); };
        if (!type.empty() && std::none_of(std::begin(known), std::end(known), matches) && std::none_of(std::begin(ignored), std::end(ignored), matches)) {
            customLabel = type;
            break;
        }
    }

    if (has("IPHONE"))
        return PhoneLabel::iPhone;
    if (has("FAX"))
        return has("HOME") ? PhoneLabel::homeFax : has("WORK") ? PhoneLabel::workFax : PhoneLabel::otherFax;
    if (has("CELL") || has("MOBILE"))
        return PhoneLabel::mobile;
    if (has("PAGER"))
        return PhoneLabel::pager;
    if (has("MAIN"))
        return PhoneLabel::main;
    if (has("HOME"))
        return PhoneLabel::home;
    if (has("WORK"))
        return PhoneLabel::work;
    if (has("OTHER"))
        return PhoneLabel::other;
    return {};
}

// Collects the lines of one card and makes a person of them.
class CardBuilder {
public:
    CardBuilder(int32_t ordinal, size_t lineNumber)
        : m_ordinal(ordinal)
        , m_lineNumber(lineNumber)
    {
    }

    int32_t ordinal() const { return m_ordinal; }
    size_t lineNumber() const { return m_lineNumber; }
    // The card's UID without surrounding white space; nothing when it has none or an empty one.
    std::optional<std::string> uid() const
    {
        if (!m_uid)
            return std::nullopt;
        auto trimmed = fnd::unicode::trimmedWhitespaceAndNewlines(*m_uid);
        if (trimmed.empty())
            return std::nullopt;
        return std::string(trimmed);
    }
    const std::optional<std::string>& failure() const { return m_failure; }

    void fail(std::string reason)
    {
        if (!m_failure)
            m_failure = std::move(reason);
    }

    void take(const VCardContentLine& line, size_t lineNumber)
    {
        const auto& name = line.name();
        if (name == "VERSION")
            takeVersion(line);
        else if (name == "N" && !m_nameComponents)
            takeStructured(line, lineNumber, m_nameComponents);
        else if (name == "ORG" && !m_organizationComponents)
            takeStructured(line, lineNumber, m_organizationComponents);
        else if (name == "FN" && !m_formattedName)
            m_formattedName = decodedText(line, lineNumber);
        else if (name == "UID" && !m_uid)
            m_uid = decodedText(line, lineNumber);
        else if (name == "TEL")
            takeTelephone(line, lineNumber);
        else if (name == "X-ABLABEL" && !line.group().empty()) {
            if (auto label = decodedText(line, lineNumber))
                m_groupLabels[line.group()] = VCardDecoding::unescapeText(*label);
        } else if (name == "PHOTO" && !m_photo)
            takePhoto(line);
    }

    PersonDetails finish(std::string_view sourceName)
    {
        PersonDetails details;
        if (m_nameComponents) {
            details.lastName = component(*m_nameComponents, 0);
            details.firstName = component(*m_nameComponents, 1);
        }
        if (m_organizationComponents)
            details.organization = component(*m_organizationComponents, 0);
        // A card that names its person only in FN (and is no company) keeps that name.
        if (!details.firstName && !details.lastName && !details.organization && m_formattedName)
            details.firstName = stringOrNil(VCardDecoding::unescapeText(*m_formattedName));

        for (auto& telephone : m_telephones) {
            auto label = telephone.label;
            if (auto custom = m_groupLabels.find(telephone.group); !telephone.group.empty() && custom != m_groupLabels.end())
                label = fnd::String::create(custom->second);
            details.phoneNumbers.push_back({ std::move(label), std::move(telephone.number) });
        }
        if (m_photoFailure)
            fnd::Log::format("Contacts: dropped the unreadable photo of the card at line %zu of %s", m_lineNumber, sourceName);
        else if (m_photo)
            details.imageData = fnd::Data::create(std::move(*m_photo));
        return details;
    }

private:
    struct Telephone {
        std::string group;
        fnd::Ref<fnd::String> label;
        fnd::Ref<fnd::String> number;
    };

    void takeVersion(const VCardContentLine& line)
    {
        auto version = fnd::unicode::trimmedWhitespaceAndNewlines(line.value());
        if (version != "2.1" && version != "3.0" && version != "4.0")
            fail("unsupported version \"" + fnd::unicode::sanitizedUTF8(version) + "\"");
    }

    // The value as UTF-8 text, its transfer encoding and character set undone.
    std::optional<std::string> decodedText(const VCardContentLine& line, size_t lineNumber)
    {
        std::string bytes = line.value();
        auto encoding = line.firstParameterValue("ENCODING").value_or("");
        if (equalIgnoringASCIICase(encoding, "QUOTED-PRINTABLE")) {
            auto decoded = VCardDecoding::decodeQuotedPrintable(bytes);
            if (!decoded) {
                fail("bad quoted-printable text at line " + std::to_string(lineNumber));
                return std::nullopt;
            }
            bytes = std::move(*decoded);
        } else if (equalIgnoringASCIICase(encoding, "B") || equalIgnoringASCIICase(encoding, "BASE64")) {
            auto decoded = VCardDecoding::decodeBase64(bytes);
            if (!decoded) {
                fail("bad base64 text at line " + std::to_string(lineNumber));
                return std::nullopt;
            }
            bytes.assign(decoded->begin(), decoded->end());
        }
        auto charset = line.firstParameterValue("CHARSET").value_or("");
        auto text = VCardDecoding::convertToUTF8(bytes, charset);
        if (!text)
            fail("unreadable text in character set \"" + fnd::unicode::sanitizedUTF8(charset) + "\" at line " + std::to_string(lineNumber));
        return text;
    }

    void takeStructured(const VCardContentLine& line, size_t lineNumber, std::optional<std::vector<std::string>>& components)
    {
        if (auto text = decodedText(line, lineNumber))
            components = VCardDecoding::splitComponents(*text);
    }

    static fnd::Ref<fnd::String> component(const std::vector<std::string>& components, size_t index)
    {
        return index < components.size() ? stringOrNil(VCardDecoding::unescapeText(components[index])) : nullptr;
    }

    void takeTelephone(const VCardContentLine& line, size_t lineNumber)
    {
        auto text = decodedText(line, lineNumber);
        if (!text)
            return;
        std::string_view number = *text;
        constexpr std::string_view uriScheme = "tel:";
        if (number.size() >= uriScheme.size() && equalIgnoringASCIICase(number.substr(0, uriScheme.size()), uriScheme))
            number.remove_prefix(uriScheme.size());
        auto value = stringOrNil(VCardDecoding::unescapeText(number));
        if (!value)
            return;

        std::string_view customLabel;
        auto types = line.parameterValues("TYPE");
        std::string_view standard = standardLabelForTypes(types, customLabel);
        fnd::Ref<fnd::String> label;
        if (!standard.empty())
            label = fnd::String::create(standard);
        else if (!customLabel.empty())
            label = fnd::String::create(fnd::unicode::sanitizedUTF8(customLabel));
        else
            label = fnd::String::create(PhoneLabel::other);
        m_telephones.push_back({ line.group(), std::move(label), std::move(value) });
    }

    void takePhoto(const VCardContentLine& line)
    {
        auto encoding = line.firstParameterValue("ENCODING").value_or("");
        std::optional<std::vector<uint8_t>> bytes;
        if (equalIgnoringASCIICase(encoding, "B") || equalIgnoringASCIICase(encoding, "BASE64"))
            bytes = VCardDecoding::decodeBase64(line.value());
        else if (containsIgnoringASCIICase(line.value().substr(0, 5), "data:"))
            bytes = VCardDecoding::decodeDataURI(line.value());
        else
            return; // A photo by reference (an http address) is not fetched.
        if (!bytes) {
            m_photoFailure = true;
            return;
        }
        if (!bytes->empty())
            m_photo = std::move(*bytes);
    }

    int32_t m_ordinal;
    size_t m_lineNumber;
    std::optional<std::string> m_failure;
    std::optional<std::vector<std::string>> m_nameComponents;
    std::optional<std::vector<std::string>> m_organizationComponents;
    std::optional<std::string> m_formattedName;
    std::optional<std::string> m_uid;
    std::vector<Telephone> m_telephones;
    std::map<std::string, std::string> m_groupLabels;
    std::optional<std::vector<uint8_t>> m_photo;
    bool m_photoFailure { false };
};

void logSkippedCard(const CardBuilder& card, std::string_view sourceName, std::string_view reason)
{
    fnd::Log::format("Contacts: skipped the card at line %zu of %s: %s", card.lineNumber(), sourceName, reason);
}

}

std::vector<VCardReader::Card> VCardReader::read(std::string_view text, std::string_view sourceName)
{
    std::vector<Card> cards;
    std::unique_ptr<CardBuilder> current;
    int32_t ordinal = 0;
    bool inStrayText = false;

    auto finishCurrent = [&] {
        if (current->failure())
            logSkippedCard(*current, sourceName, *current->failure());
        else
            cards.push_back({ current->ordinal(), current->uid(), current->finish(sourceName) });
        current.reset();
    };

    for (auto& line : unfoldLines(text)) {
        bool isBlank = fnd::unicode::trimmedWhitespaceAndNewlines(line.text).empty();
        auto contentLine = isBlank ? std::nullopt : VCardContentLine::parse(line.text);

        if (contentLine && isCardBoundary(*contentLine, "BEGIN")) {
            if (current) {
                logSkippedCard(*current, sourceName, "no END:VCARD before the next card");
                current.reset();
            }
            current = std::make_unique<CardBuilder>(++ordinal, line.lineNumber);
            inStrayText = false;
            continue;
        }
        if (!current) {
            if (!isBlank && !inStrayText)
                fnd::Log::format("Contacts: ignored text outside a card at line %zu of %s", line.lineNumber, sourceName);
            inStrayText = !isBlank;
            continue;
        }
        if (isBlank)
            continue;
        if (!contentLine) {
            current->fail("no name and value at line " + std::to_string(line.lineNumber));
            continue;
        }
        if (isCardBoundary(*contentLine, "END")) {
            finishCurrent();
            continue;
        }
        current->take(*contentLine, line.lineNumber);
    }
    if (current) {
        logSkippedCard(*current, sourceName, "no END:VCARD before the end of the file");
        current.reset();
    }
    return cards;
}

}
