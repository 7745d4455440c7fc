#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/graphics/Rect.h"

#include <optional>
#include <string_view>

namespace ui {

// The on-screen keyboard: it comes up when a text field or text view starts editing and goes down
// when nothing edits any more, announcing both on the default notification centre. The user
// information holds the keyboard's frames in screen coordinates (RectValue) and the duration.
class Keyboard {
public:
    static constexpr std::string_view willShowNotification = "KeyboardWillShow";
    static constexpr std::string_view didShowNotification = "KeyboardDidShow";
    static constexpr std::string_view willHideNotification = "KeyboardWillHide";
    static constexpr std::string_view didHideNotification = "KeyboardDidHide";
    static constexpr std::string_view frameBeginKey = "KeyboardFrameBegin";
    static constexpr std::string_view frameEndKey = "KeyboardFrameEnd";
    static constexpr std::string_view animationDurationKey = "KeyboardAnimationDuration";
    static constexpr double height = 216;

    static Keyboard& shared();

    bool isVisible() const { return m_visible; }
    // Where the keyboard is (or would be) on screen: along the bottom edge.
    gfx::Rect frame() const;
    // Reads a frame back from a notification's user information.
    static std::optional<gfx::Rect> frameFromUserInfo(const fnd::Ref<fnd::Dictionary>&, std::string_view key = frameEndKey);

    // For text inputs.
    void editingBegan();
    // The keyboard goes down on the next turn of the main run loop unless another input edits by then.
    void editingEnded();

    void resetForTesting() { m_visible = false; }

private:
    Keyboard() = default;
    void post(std::string_view name, const gfx::Rect& begin, const gfx::Rect& end);

    bool m_visible = false;
};

}
