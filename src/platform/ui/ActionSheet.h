#pragma once

#include "platform/graphics/Rect.h"
#include "platform/ui/ActionSheetDelegate.h"
#include "platform/ui/ButtonPanel.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class BarButtonItem;
class TabBar;
class Toolbar;

// Numbered as the platform numbered them.
enum class ActionSheetStyle {
    Automatic = -1,
    Default = 0,
    BlackTranslucent = 2,
    BlackOpaque = 1,
};

// A choice of actions sliding up from the bottom of the screen: a title, then the buttons in
// index order (made by create: the destructive button first, the others, the cancel button last).
// Showing it puts it on the modal panels, reported as `action sheet "Share" [Email] [Cancel]`;
// `press "Email"` taps a button. On a tablet, a sheet shown from a rectangle or a bar item sits in
// a popover pointing at it. The delegate is not retained; the sheet stays alive while it shows.
class ActionSheet : public ButtonPanel {
public:
    static std::shared_ptr<ActionSheet> create(std::string title, const std::shared_ptr<ActionSheetDelegate>& = nullptr,
        std::string cancelButtonTitle = {}, std::string destructiveButtonTitle = {}, std::vector<std::string> otherButtonTitles = {});
    ActionSheet();

    std::string_view className() const override { return "ActionSheet"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); setNeedsLayout(); }
    std::shared_ptr<ActionSheetDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ActionSheetDelegate>& delegate) { m_delegate = delegate; }
    int destructiveButtonIndex() const { return m_destructiveButtonIndex; }
    void setDestructiveButtonIndex(int index) { m_destructiveButtonIndex = index; setNeedsDisplay(); }
    ActionSheetStyle actionSheetStyle() const { return m_style; }
    void setActionSheetStyle(ActionSheetStyle style) { m_style = style; }

    void showInView(View&);
    void showFromToolbar(Toolbar&);
    void showFromTabBar(TabBar&);
    void showFromBarButtonItem(BarButtonItem&, bool animated);
    void showFromRect(const gfx::Rect&, View&, bool animated);

    // Where the sheet was shown from: "view", "toolbar", "tab bar", "bar item" or "rect"; empty
    // before it was shown.
    const std::string& shownFrom() const { return m_shownFrom; }
    // The rectangle a popover points at, in screen coordinates.
    const gfx::Rect& anchorRect() const { return m_anchor; }
    bool isInPopover() const { return m_inPopover; }


    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

protected:
    void tellDelegateClicked(int index) override;
    void tellDelegateWillDismiss(int index) override;
    void tellDelegateDidDismiss(int index) override;
    std::string_view kindName() const override { return "action sheet"; }
    int destructiveIndex() const override { return m_destructiveButtonIndex; }
    void layOutPanel() override;

private:
    void present(std::string from, const gfx::Rect& anchor, bool popover);

    std::string m_title;
    std::weak_ptr<ActionSheetDelegate> m_delegate;
    int m_destructiveButtonIndex = -1;
    ActionSheetStyle m_style = ActionSheetStyle::Automatic;
    std::string m_shownFrom;
    gfx::Rect m_anchor;
    bool m_inPopover = false;
};

}
