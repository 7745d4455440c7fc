#include "board/BoardWebRequest.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"

#include <curl/curl.h>

#include <memory>

namespace {

size_t appendBody(char* data, size_t size, size_t count, void* userData)
{
    static_cast<std::string*>(userData)->append(data, size * count);
    return size * count;
}

std::optional<std::string> fetch(const std::string& address)
{
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), curl_easy_cleanup);
    if (!handle)
        return std::nullopt;
    std::string body;
    curl_easy_setopt(handle.get(), CURLOPT_URL, address.c_str());
    // An address from the board file must never reach a file or another protocol.
    curl_easy_setopt(handle.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle.get(), CURLOPT_MAXREDIRS, 16L);
    curl_easy_setopt(handle.get(), CURLOPT_TIMEOUT, long(BoardWebRequest::timeout));
    curl_easy_setopt(handle.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(handle.get(), CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(handle.get()) != CURLE_OK)
        return std::nullopt;
    return body;
}

}

void BoardWebRequest::fetchText(const fnd::Ref<fnd::URL>& url, Completion completion)
{
    if (!url || (url->scheme() != "http" && url->scheme() != "https")) {
        completion(std::nullopt);
        return;
    }
    fnd::Thread::detach("web request", [address = url->absoluteString(), completion = std::move(completion)]() mutable {
        auto reply = fetch(address);
        fnd::RunLoop::main().post([reply = std::move(reply), completion = std::move(completion)] { completion(reply); });
    });
}
