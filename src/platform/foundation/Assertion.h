#pragma once

#include "platform/foundation/Format.h"

#include <functional>
#include <utility>
#include <string>
#include <string_view>

namespace fnd {

struct AssertionInfo {
    std::string message;
    // The source file as the system names it, e.g. "Classes/DDXML/DDXMLNode".
    std::string file;
    int line = 0;
    std::string function;
};

// Programming errors go through one replaceable handler. The default one logs and throws
// AssertionFailure; tests may install one that records and returns, in which case the failing
// operation goes on as its description says ("yields nil", "inserts nothing").
class Assertions {
public:
    using Handler = std::function<void(const AssertionInfo&)>;

    static void fail(AssertionInfo);
    // For destructors and other places that must not throw: the handler runs, anything it throws is
    // swallowed after being logged.
    static void report(AssertionInfo) noexcept;
    static Handler setHandler(Handler);
    static void defaultHandler(const AssertionInfo&);
};

// Installs a handler for a scope and restores the previous one.
class ScopedAssertionHandler {
public:
    explicit ScopedAssertionHandler(Assertions::Handler);
    ~ScopedAssertionHandler();
    ScopedAssertionHandler(const ScopedAssertionHandler&) = delete;
    ScopedAssertionHandler& operator=(const ScopedAssertionHandler&) = delete;

private:
    Assertions::Handler m_previous;
};

}

// Evaluates to the condition, so callers can bail out when a returning handler let them through:
//     if (!FND_ASSERT(index < count, "Classes/DDXML/DDXMLNode", "index (%u) beyond bounds (%u)", index, count))
//         return nullptr;
#define FND_ASSERT(condition, file, ...) \
    ((condition) ? true : (::fnd::Assertions::fail({ ::fnd::format(__VA_ARGS__), (file), __LINE__, __func__ }), false))
#define FND_ASSERT_AT_LINE(condition, file, line, ...) \
    ((condition) ? true : (::fnd::Assertions::fail({ ::fnd::format(__VA_ARGS__), (file), (line), __func__ }), false))
