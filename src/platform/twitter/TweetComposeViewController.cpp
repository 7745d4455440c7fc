#include "platform/twitter/TweetComposeViewController.h"

#include "platform/foundation/Unicode.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Effects.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TextView.h"

#include <atomic>

namespace tw {

namespace {

std::atomic<bool> accountAvailable { true };

}

void TweetComposeViewController::setAvailable(bool available)
{
    auto& registry = rt::ClassRegistry::shared();
    if (!available) {
        registry.unregisterClass(registeredName);
        return;
    }
    registry.registerClass<TweetComposeViewController>(std::string(registeredName), [] { return create(); });
}

bool TweetComposeViewController::isAvailable()
{
    return rt::ClassRegistry::shared().isRegistered(registeredName);
}

bool TweetComposeViewController::canSendTweet()
{
    return isAvailable() && accountAvailable;
}

void TweetComposeViewController::setCanSendTweet(bool available)
{
    accountAvailable = available;
}

std::shared_ptr<TweetComposeViewController> TweetComposeViewController::create()
{
    auto sheet = std::make_shared<TweetComposeViewController>();
    sheet->setUpScreen();
    return sheet;
}

TweetComposeViewController::TweetComposeViewController() = default;
TweetComposeViewController::~TweetComposeViewController() = default;

void TweetComposeViewController::setUpScreen()
{
    m_screen = ui::ViewController::create();
    m_screen->setTitle("Tweet");
    std::weak_ptr<TweetComposeViewController> weakThis = sharedAs<TweetComposeViewController>();
    auto item = m_screen->navigationItem();
    item->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel,
        ui::Action("cancel", [weakThis](const fnd::Id&) {
            if (auto sheet = weakThis.lock())
                sheet->cancel();
        })));
    item->setRightBarButtonItem(ui::BarButtonItem::createWithTitle("Send", ui::BarButtonItemStyle::Done, ui::Action("send", [weakThis](const fnd::Id&) {
        if (auto sheet = weakThis.lock())
            sheet->send();
    })));

    auto root = m_screen->view();
    root->setBackgroundColor(gfx::Color::white());
    double width = root->bounds().width();
    m_textView = ui::TextView::create({ 0, 44, width, 160 });
    root->addSubview(m_textView);
    m_attachmentsLabel = ui::Label::create({ 10, 210, width - 20, 40 });
    root->addSubview(m_attachmentsLabel);
    pushViewController(m_screen, false);
    refreshScreen();
}

void TweetComposeViewController::refreshScreen()
{
    if (m_textView && !m_textView->isEditing())
        m_textView->setText(m_text);
    if (!m_attachmentsLabel)
        return;
    std::string attachments;
    if (!m_images.empty())
        attachments = std::to_string(m_images.size()) + (m_images.size() == 1 ? " image" : " images");
    for (auto& url : m_urls)
        attachments += (attachments.empty() ? "" : ", ") + url->absoluteString();
    m_attachmentsLabel->setText(attachments);
}

void TweetComposeViewController::viewWillAppear(bool animated)
{
    NavigationController::viewWillAppear(animated);
    m_shown = true;
}

bool TweetComposeViewController::setInitialText(std::string text)
{
    if (m_shown || fnd::unicode::utf16Length(text) > maximumLength)
        return false;
    m_text = std::move(text);
    refreshScreen();
    return true;
}

bool TweetComposeViewController::addImage(fnd::Ref<gfx::Image> image)
{
    if (m_shown || !image)
        return false;
    m_images.push_back(std::move(image));
    refreshScreen();
    return true;
}

bool TweetComposeViewController::removeAllImages()
{
    if (m_shown)
        return false;
    m_images.clear();
    refreshScreen();
    return true;
}

bool TweetComposeViewController::addURL(fnd::Ref<fnd::URL> url)
{
    if (m_shown || !url)
        return false;
    m_urls.push_back(std::move(url));
    refreshScreen();
    return true;
}

bool TweetComposeViewController::removeAllURLs()
{
    if (m_shown)
        return false;
    m_urls.clear();
    refreshScreen();
    return true;
}

std::string TweetComposeViewController::text() const
{
    return m_textView ? m_textView->text() : m_text;
}

std::string TweetComposeViewController::sentDescription() const
{
    std::string description = "tweet sent: \"" + text() + "\"";
    if (!m_images.empty())
        description += " with " + std::to_string(m_images.size()) + (m_images.size() == 1 ? " image" : " images");
    for (auto& url : m_urls)
        description += " " + url->absoluteString();
    return description;
}

void TweetComposeViewController::send()
{
    // The sheet never sends a text the service would refuse.
    if (m_finished || fnd::unicode::utf16Length(text()) > maximumLength)
        return;
    ui::Effects::report(sentDescription());
    finishWithResult(TweetComposeResult::Done);
}

void TweetComposeViewController::cancel()
{
    if (m_finished)
        return;
    ui::Effects::report("tweet cancelled");
    finishWithResult(TweetComposeResult::Cancelled);
}

void TweetComposeViewController::finishWithResult(TweetComposeResult result)
{
    m_finished = true;
    auto protect = sharedAs<TweetComposeViewController>();
    if (m_completionHandler) {
        // The handler may drop the sheet's last other owner, and itself with it.
        auto handler = m_completionHandler;
        handler(result);
        return;
    }
    dismissViewController(true);
}

}
