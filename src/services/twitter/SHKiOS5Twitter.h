#pragma once

#include "platform/foundation/ObserverToken.h"
#include "sharing/core/SHKSharer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace fnd {
class Notification;
}

// Hands the item to the platform's tweet sheet, which posts it with the device's own account. It
// answers the same sharer id as SHKTwitter, whose shares it takes over where the sheet exists.
class SHKiOS5Twitter : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKiOS5Twitter";
    static constexpr size_t maxTweetLength = 140;

    static std::string sharerTitle() { return "Twitter"; }
    static std::string sharerId(const SHKSharerClass&) { return "SHKTwitter"; }

    // Waits for the sharing screen still shown to go before the sheet comes up.
    void share() override;
    void callUI(const fnd::Notification&);
    void presentUI();

    // Offers the sheet the text's first 140 characters, then one fewer each time it refuses, down
    // to none; a cut never falls inside a surrogate pair. Answers the text accepted, or nothing.
    static std::optional<std::string> offerInitialText(std::string_view text, const std::function<bool(const std::string&)>& sheetAccepts);

    std::shared_ptr<ui::ViewController> currentTopViewController() const;
    void setCurrentTopViewController(std::shared_ptr<ui::ViewController>);

private:
    void composeFinished(int result);

    mutable std::mutex m_lock;
    std::shared_ptr<ui::ViewController> m_currentTopViewController;
    fnd::ObserverToken m_hideObserver;
};
