#pragma once

#include "platform/foundation/URL.h"

#include <functional>
#include <optional>
#include <string>

// The web request of an "http" picture: loaded in the background so the board never waits for the
// network; the reply comes back on the main run loop.
class BoardWebRequest {
public:
    // The reply's body as text whatever the status, or nothing when the transfer failed. Only
    // http and https addresses are fetched; any other answers nothing at once.
    using Completion = std::function<void(const std::optional<std::string>& reply)>;
    static void fetchText(const fnd::Ref<fnd::URL>&, Completion);

    static constexpr double timeout = 60;
};
