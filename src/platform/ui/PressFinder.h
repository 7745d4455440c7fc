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
// top) from the top window down. The first screen with a match decides; exact texts are tried
// everywhere before texts that differ only in case. Of several matches on that screen, those that
// something else covers (a search bar's Cancel slid over a navigation bar's) drop out; if more
// than one is still in sight, nothing is pressed and the result names them all.
class PressFinder {
public:
    struct Result {
        enum class Status {
            Pressed,
            NotFound,
            Disabled,
            Ambiguous,
        };
        Status status = Status::NotFound;
        // The target, or for Ambiguous every candidate ("bar item \"Done\", row \"Done\"").
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

    // The targets a press of the text could mean: none, the one, or several in sight.
    static std::vector<PressTarget> find(std::string_view text);
    static Result press(std::string_view text);
};

}
