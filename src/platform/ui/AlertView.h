#pragma once

#include "platform/ui/AlertViewDelegate.h"
#include "platform/ui/ButtonPanel.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

// A message in a box over the whole screen, with buttons: the cancel button (index 0 when given)
// and the other buttons after it, in order. Showing it puts it on the modal panels, reported as
// `alert "Title" "Message" [Cancel] [OK]`; `press "OK"` taps a button. The delegate is not
// retained; the alert stays alive while it is on screen.
class AlertView : public ButtonPanel {
public:
    static std::shared_ptr<AlertView> create(std::string title, std::string message, const std::shared_ptr<AlertViewDelegate>& = nullptr,
        std::string cancelButtonTitle = {}, std::vector<std::string> otherButtonTitles = {});
    AlertView();

    std::string_view className() const override { return "AlertView"; }

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); setNeedsLayout(); }
    const std::string& message() const { return m_message; }
    void setMessage(std::string message) { m_message = std::move(message); setNeedsLayout(); }
    std::shared_ptr<AlertViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<AlertViewDelegate>& delegate) { m_delegate = delegate; }

    void show();

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

    static constexpr double width = 284;

protected:
    void tellDelegateClicked(int index) override;
    void tellDelegateWillDismiss(int index) override;
    void tellDelegateDidDismiss(int index) override;
    std::string_view kindName() const override { return "alert"; }
    void layOutPanel() override;

private:
    double headingHeight() const;

    std::string m_title;
    std::string m_message;
    std::weak_ptr<AlertViewDelegate> m_delegate;
};

}
