#include "platform/foundation/Assertion.h"

#include "platform/foundation/Exception.h"
#include "platform/foundation/Log.h"

#include <mutex>

namespace fnd {

namespace {

std::mutex& handlerLock()
{
    static std::mutex lock;
    return lock;
}

Assertions::Handler& installedHandler()
{
    static Assertions::Handler handler = Assertions::defaultHandler;
    return handler;
}

Assertions::Handler currentHandler()
{
    std::lock_guard guard(handlerLock());
    return installedHandler();
}

std::string describe(const AssertionInfo& info)
{
    return format("*** Assertion failure in %s, %s:%d: %s", info.function, info.file, info.line, info.message);
}

}

void Assertions::defaultHandler(const AssertionInfo& info)
{
    Log::write(describe(info));
    throw AssertionFailure(info.message, info.file, info.line, info.function);
}

void Assertions::fail(AssertionInfo info)
{
    currentHandler()(info);
}

void Assertions::report(AssertionInfo info) noexcept
{
    try {
        currentHandler()(info);
    } catch (const std::exception& exception) {
        Log::write(std::string("assertion in a context that cannot throw: ") + exception.what());
    } catch (...) {
        Log::write("assertion in a context that cannot throw");
    }
}

Assertions::Handler Assertions::setHandler(Handler handler)
{
    std::lock_guard guard(handlerLock());
    return std::exchange(installedHandler(), handler ? std::move(handler) : Handler(defaultHandler));
}

ScopedAssertionHandler::ScopedAssertionHandler(Assertions::Handler handler)
    : m_previous(Assertions::setHandler(std::move(handler)))
{
}

ScopedAssertionHandler::~ScopedAssertionHandler()
{
    Assertions::setHandler(std::move(m_previous));
}

}
