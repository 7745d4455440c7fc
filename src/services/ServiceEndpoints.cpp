#include "services/ServiceEndpoints.h"

#include "platform/foundation/URL.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

using Kind = ServiceEndpoints::Kind;

const ServiceEndpoints::Entry* findEntry(std::string_view key)
{
    auto& entries = ServiceEndpoints::entries();
    auto found = std::find_if(entries.begin(), entries.end(), [&](auto& entry) { return entry.key == key; });
    return found == entries.end() ? nullptr : &*found;
}

// "http://host/" and "http://host" name the same base; the sharers append paths with their own "/".
std::string withoutTrailingSlash(std::string value)
{
    while (!value.empty() && value.back() == '/')
        value.pop_back();
    return value;
}

std::optional<std::string> addressError(std::string_view value)
{
    auto url = fnd::URL::create(value);
    if (!url || (url->scheme() != "http" && url->scheme() != "https"))
        return "is not an http or https address";
    if (url->host().empty())
        return "has no host";
    if (url->query() || url->fragment())
        return "must not carry a query or fragment";
    return std::nullopt;
}

std::optional<std::string> domainError(std::string_view value)
{
    std::string_view host = value;
    if (!host.empty() && host.front() == '.')
        host.remove_prefix(1);
    bool valid = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
    });
    if (!valid)
        return "is not a host name";
    return std::nullopt;
}

std::string trimmed(std::string_view text)
{
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

}

const std::vector<ServiceEndpoints::Entry>& ServiceEndpoints::entries()
{
    static const std::vector<Entry> entries = {
        { "fb.graph", Kind::Address, "https://graph.facebook.com" },
        { "fb.rest", Kind::Address, "https://api.facebook.com" },
        { "fb.m", Kind::Address, "https://m.facebook.com" },
        { "fb.login", Kind::Address, "http://login.facebook.com" },
        { "tw.api", Kind::Address, "https://api.twitter.com" },
        { "tw.shortener", Kind::Address, "http://api.bit.ly" },
        { "tw.pichost", Kind::Address, "http://img.ly" },
        { "tw.signup", Kind::Address, "https://twitter.com/signup" },
        { "fsq.oauth", Kind::Address, "https://foursquare.com" },
        { "fsq.api", Kind::Address, "https://api.foursquare.com/v2" },
        { "instapaper", Kind::Address, "https://www.instapaper.com" },
        { "instapaper.signup", Kind::Address, "https://www.instapaper.com/user/register" },
        { "pinboard", Kind::Address, "https://api.pinboard.in" },
        { "pinboard.signup", Kind::Address, "https://pinboard.in/signup" },
        { "diigo", Kind::Address, "https://secure.diigo.com" },
        { "diigo.signup", Kind::Address, "https://www.diigo.com/sign-up" },
        { "ril", Kind::Address, "https://readitlaterlist.com" },
        { "ril.signup", Kind::Address, "https://readitlaterlist.com/signup" },
        { "greader.login", Kind::Address, "https://www.google.com" },
        { "greader.api.http", Kind::Address, "http://www.google.com" },
        { "greader.api.https", Kind::Address, "https://www.google.com" },
        { "greader.cookieDomain", Kind::Domain, ".google.com" },
        { "greader.signup", Kind::Address, "https://www.google.com/accounts/NewAccount" },
        { "readability.api", Kind::Address, "https://www.readability.com" },
        { "readability.signup", Kind::Address, "https://www.readability.com/account/register" },
        { "enml.dtd", Kind::Address, "http://xml.evernote.com/pub/enml2.dtd" },
        { "evernote.userStore", Kind::Address, "https://www.evernote.com/edam/user" },
        { "evernote.noteStore", Kind::Address, "https://www.evernote.com/edam/note" },
        { "evernote.signup", Kind::Address, "https://www.evernote.com" },
    };
    return entries;
}

ServiceEndpoints& ServiceEndpoints::shared()
{
    static ServiceEndpoints endpoints;
    return endpoints;
}

ServiceEndpoints::ServiceEndpoints()
{
    reset();
}

void ServiceEndpoints::reset()
{
    std::lock_guard lock(m_mutex);
    m_values.clear();
    for (auto& entry : entries())
        m_values.emplace(entry.key, entry.productionValue);
}

std::string ServiceEndpoints::url(std::string_view key) const
{
    std::lock_guard lock(m_mutex);
    auto found = m_values.find(key);
    if (found == m_values.end())
        throw std::out_of_range("unknown service endpoint \"" + std::string(key) + "\"");
    return found->second;
}

std::optional<std::string> ServiceEndpoints::validate(std::string_view key, std::string_view value)
{
    auto* entry = findEntry(key);
    if (!entry)
        return "unknown service endpoint \"" + std::string(key) + "\"";
    auto error = entry->kind == Kind::Address ? addressError(value) : domainError(value);
    if (error)
        return "service endpoint \"" + std::string(key) + "\": \"" + std::string(value) + "\" " + *error;
    return std::nullopt;
}

std::optional<std::string> ServiceEndpoints::apply(const std::map<std::string, std::string>& overrides)
{
    for (auto& [key, value] : overrides) {
        if (auto error = validate(key, value))
            return error;
    }
    std::lock_guard lock(m_mutex);
    for (auto& [key, value] : overrides)
        m_values[key] = findEntry(key)->kind == Kind::Address ? withoutTrailingSlash(value) : value;
    return std::nullopt;
}

std::optional<std::string> ServiceEndpoints::applyFile(const std::filesystem::path& path)
{
    std::ifstream file(path);
    if (!file || std::filesystem::is_directory(path))
        return path.string() + ": cannot be read";
    std::map<std::string, std::string> overrides;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        auto where = path.string() + ":" + std::to_string(number) + ": ";
        auto text = trimmed(line);
        if (text.empty() || text.front() == '#')
            continue;
        auto equals = text.find('=');
        if (equals == std::string::npos)
            return where + "expected key=address";
        auto key = trimmed(std::string_view(text).substr(0, equals));
        auto value = trimmed(std::string_view(text).substr(equals + 1));
        if (auto error = validate(key, value))
            return where + *error;
        overrides[key] = value;
    }
    return apply(overrides);
}
