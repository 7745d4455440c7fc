#include "sharing/core/SHKDeleteCookiesForURL.h"

#include "platform/foundation/HTTPCookieStorage.h"

void SHKDeleteCookiesForURL(const fnd::URL& url)
{
    fnd::HTTPCookieStorage::shared()->deleteCookiesForURL(url);
}
