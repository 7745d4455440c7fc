#pragma once

#include "platform/ui/PressTarget.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class View;

// Finds what a user can press by its text, screen by screen from the top: the modal panels (and
// nothing else while one shows), then each visible window's screens (its subviews, the last on
// top) from the top window down. Within a screen, panel buttons come before bar items, bar items
// before buttons and buttons before table rows; among equals the frontmost wins. Exact texts are
// tried everywhere before texts that differ only in case.
class PressFinder {
public:
    struct Result {
        enum class Status {
            Pressed,
            NotFound,
            Disabled,
        };
        Status status = Status::NotFound;
        std::string description;
    };

    // The screens from the top down, each with its targets in search order.
    static std::vector<PressTargets> targetsOnScreen();
    // The targets of one view tree, front to back (hidden and untouchable views left out).
    static PressTargets targetsInTree(View&);

    // The texts a view shows, for targets that are found by what they show (table rows): every
    // visible label's text, and for a view whose visible subviews include several labels, their texts
    // joined in order, so a label made of parts reads as one text.
    static std::vector<std::string> textsShownIn(const View&);

    static std::optional<PressTarget> find(std::string_view text);
    static Result press(std::string_view text);
};

}
