#include "board/FacebookLoginHandoff.h"

#include "platform/foundation/Log.h"

#include <mutex>

namespace {

std::mutex& handlerLock()
{
    static std::mutex lock;
    return lock;
}

FacebookLoginHandoff::Handler& installedHandler()
{
    static FacebookLoginHandoff::Handler handler;
    return handler;
}

}

void FacebookLoginHandoff::setHandler(Handler handler)
{
    std::lock_guard guard(handlerLock());
    installedHandler() = std::move(handler);
}

bool FacebookLoginHandoff::hasHandler()
{
    std::lock_guard guard(handlerLock());
    return static_cast<bool>(installedHandler());
}

bool FacebookLoginHandoff::handleOpenURL(const fnd::URL& url)
{
    Handler handler;
    {
        std::lock_guard guard(handlerLock());
        handler = installedHandler();
    }
    if (!handler) {
        fnd::Log::format("no Facebook login waits for %@", url.absoluteString());
        return false;
    }
    return handler(url);
}
