#include "platform/foundation/HTTPCookieStorage.h"

#include "platform/foundation/CurlLibrary.h"
#include "platform/foundation/CurlTransfer.h"
#include "platform/foundation/Unicode.h"

#include <array>
#include <charconv>

namespace fnd {

namespace {

const CurlLibrary& curl()
{
    return CurlLibrary::shared();
}

constexpr std::string_view httpOnlyPrefix = "#HttpOnly_";

// One line of libcurl's cookie list: domain, subdomains flag, path, secure flag, expiry, name and
// value, separated by tabs.
std::optional<HTTPCookie> parseCookieLine(std::string_view line)
{
    HTTPCookie cookie;
    if (line.starts_with(httpOnlyPrefix)) {
        cookie.httpOnly = true;
        line.remove_prefix(httpOnlyPrefix.size());
    }
    std::vector<std::string_view> fields;
    while (fields.size() < 6) {
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return std::nullopt;
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    std::string_view domain = fields[0];
    if (domain.starts_with('.'))
        domain.remove_prefix(1);
    cookie.domain = unicode::lowercased(domain);
    cookie.hostOnly = fields[1] != "TRUE";
    cookie.path = fields[2];
    cookie.secure = fields[3] == "TRUE";
    int64_t expires = 0;
    std::from_chars(fields[4].data(), fields[4].data() + fields[4].size(), expires);
    if (expires > 0)
        cookie.expiresDate = double(expires);
    cookie.name = fields[5];
    cookie.value = fields[6];
    return cookie;
}

bool domainMatches(std::string_view host, std::string_view domain)
{
    if (domain.empty())
        return false;
    if (host == domain)
        return true;
    return host.size() > domain.size() && host.ends_with(domain) && host[host.size() - domain.size() - 1] == '.';
}

}

struct HTTPCookieStorage::Share {
    CURLSH* handle = nullptr;
    // Reads and edits of the whole store go through this handle.
    CURL* control = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;

    std::vector<std::string> cookieLines()
    {
        std::vector<std::string> lines;
        curl_slist* list = nullptr;
        if (curl().easyGetinfo(control, CURLINFO_COOKIELIST, &list) != CURLE_OK)
            return lines;
        for (auto* item = list; item; item = item->next)
            lines.emplace_back(item->data);
        curl().slistFreeAll(list);
        return lines;
    }
};

Ref<HTTPCookieStorage> HTTPCookieStorage::shared()
{
    static Ref<HTTPCookieStorage> storage = std::make_shared<HTTPCookieStorage>();
    return storage;
}

HTTPCookieStorage::HTTPCookieStorage()
    : m_share(std::make_unique<Share>())
{
    CurlTransfer::initializeLibrary();
    m_share->handle = curl().shareInit();
    curl().shareSetopt(m_share->handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl().shareSetopt(m_share->handle, CURLSHOPT_USERDATA, m_share.get());
    curl().shareSetopt(m_share->handle, CURLSHOPT_LOCKFUNC, +[](CURL*, curl_lock_data data, curl_lock_access, void* share) {
        static_cast<Share*>(share)->locks[size_t(data)].lock();
    });
    curl().shareSetopt(m_share->handle, CURLSHOPT_UNLOCKFUNC, +[](CURL*, curl_lock_data data, void* share) {
        static_cast<Share*>(share)->locks[size_t(data)].unlock();
    });
    m_share->control = curl().easyInit();
    attachToTransfer(m_share->control);
}

HTTPCookieStorage::~HTTPCookieStorage()
{
    curl().easyCleanup(m_share->control);
    curl().shareCleanup(m_share->handle);
}

void HTTPCookieStorage::attachToTransfer(void* curlHandle) const
{
    curl().easySetopt(curlHandle, CURLOPT_SHARE, m_share->handle);
    // An empty file name switches the cookie engine on without reading any file.
    curl().easySetopt(curlHandle, CURLOPT_COOKIEFILE, "");
}

std::vector<HTTPCookie> HTTPCookieStorage::cookies() const
{
    std::lock_guard guard(m_controlLock);
    std::vector<HTTPCookie> cookies;
    for (auto& line : m_share->cookieLines()) {
        if (auto cookie = parseCookieLine(line))
            cookies.push_back(std::move(*cookie));
    }
    return cookies;
}

void HTTPCookieStorage::deleteCookiesForURL(const URL& url)
{
    std::string host = unicode::lowercased(url.host());
    std::lock_guard guard(m_controlLock);
    auto lines = m_share->cookieLines();
    std::vector<std::string> kept;
    for (auto& line : lines) {
        auto cookie = parseCookieLine(line);
        if (!cookie || !domainMatches(host, cookie->domain))
            kept.push_back(line);
    }
    if (kept.size() == lines.size())
        return;
    // libcurl deletes only all cookies at once; the others are put back.
    curl().easySetopt(m_share->control, CURLOPT_COOKIELIST, "ALL");
    for (auto& line : kept)
        curl().easySetopt(m_share->control, CURLOPT_COOKIELIST, line.c_str());
}

void HTTPCookieStorage::deleteAllCookies()
{
    std::lock_guard guard(m_controlLock);
    curl().easySetopt(m_share->control, CURLOPT_COOKIELIST, "ALL");
}

}
