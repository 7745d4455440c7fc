#include "platform/foundation/LogSecrets.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace fnd {

namespace {

// Names whose values are secrets, lower case. Longer names that contain a shorter one are listed
// too: a name only matches as a whole word.
constexpr std::array secretNames = {
    std::string_view("access_token"), std::string_view("refresh_token"), std::string_view("oauth_token"),
    std::string_view("oauth_token_secret"), std::string_view("oauth_verifier"), std::string_view("oauth_signature"),
    std::string_view("auth_token"), std::string_view("authtoken"), std::string_view("token"), std::string_view("secret"),
    std::string_view("client_secret"), std::string_view("consumer_secret"), std::string_view("password"),
    std::string_view("passwd"), std::string_view("session_key"), std::string_view("sessionkey"), std::string_view("sig"),
};
// Header whose whole value is a secret, whatever its scheme ("Bearer …", "OAuth …").
constexpr std::string_view authorizationName = "authorization";

bool isNameCharacter(char character)
{
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9')
        || character == '_' || character == '-';
}

bool endsValue(char character, bool quoted)
{
    if (quoted)
        return character == '"' || character == '\'';
    return character == '&' || character == '"' || character == '\'' || character == ',' || character == ';' || character == '}'
        || character == '<' || character == '>' || character == ')' || character == ' ' || character == '\t' || character == '\r' || character == '\n';
}

struct Span {
    size_t start;
    size_t end;
};

// Where the value after the name at `nameEnd` lies: after an optional closing quote of a JSON key,
// "=" or ":" and an optional opening quote. Nothing when no value follows.
std::optional<Span> valueAfterName(std::string_view line, size_t nameEnd, bool toEndOfHeader)
{
    size_t at = nameEnd;
    if (at < line.size() && (line[at] == '"' || line[at] == '\''))
        ++at;
    while (at < line.size() && line[at] == ' ')
        ++at;
    if (at >= line.size() || (line[at] != '=' && line[at] != ':'))
        return std::nullopt;
    ++at;
    while (at < line.size() && line[at] == ' ')
        ++at;
    bool quoted = at < line.size() && (line[at] == '"' || line[at] == '\'');
    if (quoted)
        ++at;
    size_t end = at;
    if (toEndOfHeader) {
        while (end < line.size() && line[end] != '\r' && line[end] != '\n' && !(quoted && line[end] == '"'))
            ++end;
    } else {
        while (end < line.size() && !endsValue(line[end], quoted))
            ++end;
    }
    if (end == at)
        return std::nullopt;
    return Span { at, end };
}

void findValues(std::string_view line, std::string_view lowered, std::string_view name, bool toEndOfHeader, std::vector<Span>& spans)
{
    for (size_t at = lowered.find(name); at != std::string_view::npos; at = lowered.find(name, at + 1)) {
        size_t end = at + name.size();
        if ((at > 0 && isNameCharacter(lowered[at - 1])) || (end < lowered.size() && isNameCharacter(lowered[end])))
            continue;
        if (auto value = valueAfterName(line, end, toEndOfHeader))
            spans.push_back(*value);
    }
}

}

std::string LogSecrets::masked(std::string_view line)
{
    std::string lowered(line);
    for (auto& character : lowered)
        character = character >= 'A' && character <= 'Z' ? char(character - 'A' + 'a') : character;
    std::vector<Span> spans;
    for (auto name : secretNames)
        findValues(line, lowered, name, false, spans);
    findValues(line, lowered, authorizationName, true, spans);
    if (spans.empty())
        return std::string(line);

    std::vector<bool> hidden(line.size(), false);
    for (auto& span : spans)
        std::fill(hidden.begin() + ptrdiff_t(span.start), hidden.begin() + ptrdiff_t(span.end), true);
    std::string result;
    result.reserve(line.size());
    for (size_t at = 0; at < line.size();) {
        if (!hidden[at]) {
            result.push_back(line[at++]);
            continue;
        }
        while (at < line.size() && hidden[at])
            ++at;
        result += mask;
    }
    return result;
}

}
