#include "services/twitter/SHKiOS5Twitter.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Unicode.h"
#include "sharing/core/SHK.h"

#include <algorithm>

void SHKiOS5Twitter::share()
{
    auto protect = protectedThis();
    if (!SHK::currentHelper().currentView()) {
        presentUI();
        return;
    }
    keepAlive();
    std::weak_ptr<SHKiOS5Twitter> weakThis = sharedAs<SHKiOS5Twitter>();
    m_hideObserver = fnd::NotificationCenter::defaultCenter().addObserver(std::string(SHK::hideCurrentViewFinishedNotification), nullptr,
        [weakThis](const fnd::Notification& notification) {
            if (auto strongThis = weakThis.lock())
                strongThis->callUI(notification);
        });
}

void SHKiOS5Twitter::callUI(const fnd::Notification&)
{
    auto protect = protectedThis();
    m_hideObserver.remove();
    presentUI();
    stopKeepingAlive();
}

std::optional<std::string> SHKiOS5Twitter::offerInitialText(std::string_view text, const std::function<bool(const std::string&)>& sheetAccepts)
{
    size_t length = std::min(maxTweetLength, fnd::unicode::utf16Length(text));
    for (size_t offered = length;; --offered) {
        auto prefix = std::string(text.substr(0, fnd::unicode::byteOffsetOfUTF16Index(text, offered)));
        // An index inside a surrogate pair rounds down to the pair's start: that shorter text is
        // offered at the next step, never half a character.
        bool cutsPair = fnd::unicode::utf16Length(prefix) != offered;
        if (!cutsPair && sheetAccepts(prefix))
            return prefix;
        if (offered == 0)
            return std::nullopt;
    }
}

std::shared_ptr<ui::ViewController> SHKiOS5Twitter::currentTopViewController() const
{
    std::lock_guard guard(m_lock);
    return m_currentTopViewController;
}

void SHKiOS5Twitter::setCurrentTopViewController(std::shared_ptr<ui::ViewController> controller)
{
    std::lock_guard guard(m_lock);
    m_currentTopViewController = std::move(controller);
}

void SHKiOS5Twitter::presentUI()
{
}
