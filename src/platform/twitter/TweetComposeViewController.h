#pragma once

#include "platform/foundation/URL.h"
#include "platform/graphics/Image.h"
#include "platform/ui/NavigationController.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {
class BarButtonItem;
class Label;
class TextView;
}

namespace tw {

// Numbered as the platform numbered them.
enum class TweetComposeResult {
    Cancelled = 0,
    Done = 1,
};

// The platform's tweet sheet: a composer with the tweet's text, its images and links, Cancel and
// Send. It exists only on devices whose system has it: the class is registered with
// rt::ClassRegistry under `registeredName` while the switch is on (off by default), and callers
// look it up by that name. Send reports the tweet as one effect line ("tweet sent: ..."), Cancel
// reports "tweet cancelled"; either ends the sheet once. With a completion handler, the handler
// hears the result and dismisses the sheet; without one the sheet dismisses itself.
class TweetComposeViewController : public ui::NavigationController {
public:
    static constexpr std::string_view registeredName = "TWTweetComposeViewController";
    static constexpr size_t maximumLength = 140;

    // Registers or unregisters the class by name.
    static void setAvailable(bool);
    static bool isAvailable();
    // Whether an account is set up to tweet from; yes unless switched off.
    static bool canSendTweet();
    static void setCanSendTweet(bool);

    static std::shared_ptr<TweetComposeViewController> create();
    TweetComposeViewController();
    ~TweetComposeViewController() override;

    std::string_view className() const override { return "TweetComposeViewController"; }

    // Each answers false, changing nothing, once the sheet is on screen; setInitialText also for a
    // text above 140 UTF-16 units.
    bool setInitialText(std::string);
    bool addImage(fnd::Ref<gfx::Image>);
    bool removeAllImages();
    bool addURL(fnd::Ref<fnd::URL>);
    bool removeAllURLs();

    // The text as shown (and edited) on the sheet.
    std::string text() const;
    const std::vector<fnd::Ref<gfx::Image>>& images() const { return m_images; }
    const std::vector<fnd::Ref<fnd::URL>>& urls() const { return m_urls; }

    using CompletionHandler = std::function<void(TweetComposeResult)>;
    void setCompletionHandler(CompletionHandler handler) { m_completionHandler = std::move(handler); }

    void send();
    void cancel();
    bool hasFinished() const { return m_finished; }

    void viewWillAppear(bool animated) override;

private:
    void setUpScreen();
    void refreshScreen();
    void finishWithResult(TweetComposeResult);
    // "tweet sent: \"TEXT\" with 1 image, http://..." for the effect line.
    std::string sentDescription() const;

    std::string m_text;
    std::vector<fnd::Ref<gfx::Image>> m_images;
    std::vector<fnd::Ref<fnd::URL>> m_urls;
    CompletionHandler m_completionHandler;
    std::shared_ptr<ui::ViewController> m_screen;
    std::shared_ptr<ui::TextView> m_textView;
    std::shared_ptr<ui::Label> m_attachmentsLabel;
    bool m_shown = false;
    bool m_finished = false;
};

}
