#pragma once

#include <optional>
#include <string>

class SHKFormOptionController;

// Hears what was picked on an option screen.
class SHKFormOptionControllerClient {
public:
    virtual ~SHKFormOptionControllerClient() = default;

    // The picked value text ("-1" for no selection), or nothing when the screen was cancelled.
    virtual void formOptionControllerPickedOption(SHKFormOptionController&, std::optional<std::string> pickedOption) = 0;
};
