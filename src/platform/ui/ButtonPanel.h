#pragma once

#include "platform/ui/View.h"

#include <string>
#include <vector>

namespace ui {

// What alerts and action sheets share: a list of titled buttons (indexes in the order added), the
// cancel button's index, drawing and tapping the buttons, pressing them by title, and showing on
// (and leaving) the modal panels above every window.
class ButtonPanel : public View {
public:
    // Adds a button at the end and answers its index.
    int addButtonWithTitle(std::string);
    int numberOfButtons() const { return static_cast<int>(m_titles.size()); }
    // "" for an index without a button.
    std::string buttonTitleAtIndex(int) const;
    // The first button titled so, or -1.
    int indexOfButtonWithTitle(std::string_view) const;
    // -1 when there is none.
    int cancelButtonIndex() const { return m_cancelButtonIndex; }
    void setCancelButtonIndex(int index) { m_cancelButtonIndex = index; setNeedsLayout(); }
    // The first button that is neither the cancel nor the destructive one, or -1.
    int firstOtherButtonIndex() const;

    // On screen now.
    bool isVisible() const;

    // What a tap on the button does (the delegate hears of it, then the panel goes away). Answers
    // false when there is no such button.
    bool pressButtonAtIndex(int);
    bool pressButtonWithTitle(std::string_view);

    // Takes the panel away as if the button had been tapped, without telling the delegate of a
    // click; the delegate hears "will dismiss" now and "did dismiss" on the next turn. Nothing
    // happens when the panel is not on screen.
    virtual void dismissWithClickedButtonIndex(int buttonIndex, bool animated);

    void layoutSubviews() override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void touchesBegan(const TouchSet&, const Event&) override;
    void touchesMoved(const TouchSet&, const Event&) override;
    void touchesEnded(const TouchSet&, const Event&) override;
    void touchesCancelled(const TouchSet&, const Event&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

protected:
    ButtonPanel();

    // A tap: the delegate hears the click, then the panel goes away.
    virtual void buttonTapped(int index);
    // The subclasses know their delegate's type.
    virtual void tellDelegateClicked(int index) = 0;
    virtual void tellDelegateWillDismiss(int index) = 0;
    virtual void tellDelegateDidDismiss(int index) = 0;
    // What the panel is called in announcements and descriptions ("alert", "action sheet").
    virtual std::string_view kindName() const = 0;
    // The red button, or -1.
    virtual int destructiveIndex() const { return -1; }
    // Lays the panel out for its texts and buttons: sets the frame and the buttons' rectangles.
    virtual void layOutPanel() = 0;

    void setButtonFrames(std::vector<gfx::Rect> frames) { m_buttonFrames = std::move(frames); }
    const std::vector<std::string>& buttonTitles() const { return m_titles; }
    // "alert \"Title\" \"Message\" [OK] [Cancel]".
    std::string announcement(const std::string& title, const std::string& message) const;
    void showPanel(const std::string& title, const std::string& message);
    void removePanel();
    void drawHeading(gfx::GraphicsContext&, const std::string& title, const std::string& message, double top, double width) const;

private:
    int buttonAtPoint(gfx::Point) const;

    std::vector<std::string> m_titles;
    std::vector<gfx::Rect> m_buttonFrames;
    int m_cancelButtonIndex = -1;
    int m_highlightedButton = -1;
};

}
