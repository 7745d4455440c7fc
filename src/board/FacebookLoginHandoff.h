#pragma once

#include "platform/foundation/URL.h"

#include <functional>

// Where an incoming URL that returns from a Facebook login goes: the application delegate installs
// the Facebook sharer's handler here at launch, which completes the pending login with the URL. Without a handler such a URL is
// logged and refused.
class FacebookLoginHandoff {
public:
    using Handler = std::function<bool(const fnd::URL&)>;

    // Nil removes the handler.
    static void setHandler(Handler);
    static bool hasHandler();
    // Answers what the handler answers.
    static bool handleOpenURL(const fnd::URL&);
};
