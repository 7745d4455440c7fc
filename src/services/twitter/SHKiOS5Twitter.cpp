#include "services/twitter/SHKiOS5Twitter.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/Unicode.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/twitter/TweetComposeViewController.h"
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
    auto protect = protectedThis();
    if (item()->shareType() == SHKShareTypeUserInfoRequest)
        return;
    auto sheet = rt::ClassRegistry::shared().create<tw::TweetComposeViewController>(tw::TweetComposeViewController::registeredName);
    if (!sheet)
        return;
    if (item()->image())
        sheet->addImage(item()->image());
    if (item()->URL())
        sheet->addURL(item()->URL());
    auto& text = item()->shareType() == SHKShareTypeText ? item()->text() : item()->title();
    offerInitialText(text.value_or(""), [&sheet](const std::string& offered) { return sheet->setInitialText(offered); });
    // The sheet holds this sharer until it has reported and gone.
    sheet->setCompletionHandler([self = sharedAs<SHKiOS5Twitter>()](tw::TweetComposeResult result) { self->composeFinished(static_cast<int>(result)); });
    setCurrentTopViewController(SHK::currentHelper().rootViewForCustomUIDisplay());
    if (auto top = currentTopViewController())
        top->presentViewController(sheet, true);
}

void SHKiOS5Twitter::composeFinished(int result)
{
    auto protect = protectedThis();
    if (auto top = currentTopViewController()) {
        // Posted once the sheet has gone, so that a sharing screen waiting for it comes up after.
        top->dismissViewController(true, [] {
            fnd::OperationQueue::mainQueue().addOperation(
                [] { fnd::NotificationCenter::defaultCenter().post(std::string(SHK::hideCurrentViewFinishedNotification)); });
        });
    }
    if (result == static_cast<int>(tw::TweetComposeResult::Cancelled))
        sendDidCancel();
    else if (result == static_cast<int>(tw::TweetComposeResult::Done))
        sendDidFinish();
}
