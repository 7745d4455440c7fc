#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class View;

// Something on screen that a user can press by the text it shows or the name it has: an alert or
// action-sheet button, a bar item, a button, a table row. Views offer theirs through
// View::collectPressTargets; the terminal's `press "TEXT"` and tests pick one and press it.
struct PressTarget {
    // In search order: when a screen offers several kinds under the same text, the first wins.
    enum class Kind {
        PanelButton,
        BarItem,
        Button,
        TableRow,
    };

    Kind kind = Kind::Button;
    // What the target shows or is called ("Done", "compose", "Joe Smith").
    std::vector<std::string> texts;
    std::function<void()> press;
    // A disabled target is found but not pressed.
    bool enabled = true;
    // How the terminal names it ("bar item \"Done\"").
    std::string description;
    // The view that offered it, to tell whether something covers it.
    std::weak_ptr<View> view;

    bool matches(std::string_view text, bool ignoringCase) const;
};

using PressTargets = std::vector<PressTarget>;

std::string_view pressTargetKindName(PressTarget::Kind);

}
