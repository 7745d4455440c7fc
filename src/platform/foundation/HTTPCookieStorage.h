#pragma once

#include "platform/foundation/HTTPCookie.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/URL.h"

#include <memory>
#include <mutex>
#include <vector>

namespace fnd {

// The process's cookies. Every request that handles cookies (the default) stores the cookies its
// responses set and sends the ones that match its address; libcurl's cookie engine does the matching.
// Safe to use from any thread.
class HTTPCookieStorage {
public:
    static Ref<HTTPCookieStorage> shared();

    HTTPCookieStorage();
    ~HTTPCookieStorage();
    HTTPCookieStorage(const HTTPCookieStorage&) = delete;
    HTTPCookieStorage& operator=(const HTTPCookieStorage&) = delete;

    std::vector<HTTPCookie> cookies() const;
    // Deletes every cookie whose domain is the address's host or a domain above it
    // ("example.com" for "www.example.com"), whatever its path.
    void deleteCookiesForURL(const URL&);
    void deleteAllCookies();

    // Lets a libcurl easy handle read and write this store.
    void attachToTransfer(void* curlHandle) const;

private:
    struct Share;
    std::unique_ptr<Share> m_share;
    mutable std::mutex m_controlLock;
};

}
