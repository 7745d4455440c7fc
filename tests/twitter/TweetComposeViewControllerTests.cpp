#include "platform/graphics/ImageContext.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/twitter/TweetComposeViewController.h"
#include "platform/ui/EffectCapture.h"
#include "platform/ui/TerminalDriver.h"
#include "platform/ui/Window.h"
#include "support/ui/RootScreenTest.h"
#include "support/ui/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brenzo::testing {
namespace {

using tw::TweetComposeResult;
using tw::TweetComposeViewController;

class TweetSheetTest : public RootScreenTest {
protected:
    ~TweetSheetTest() override
    {
        TweetComposeViewController::setAvailable(false);
        TweetComposeViewController::setCanSendTweet(true);
        resetSimulatedDevice();
    }

    void present(const std::shared_ptr<TweetComposeViewController>& sheet)
    {
        m_root->presentViewController(sheet, true);
        m_time.runUntilIdle();
    }

    void press(const std::string& title)
    {
        std::ostringstream output;
        ui::TerminalDriver terminal(output);
        terminal.execute("press \"" + title + "\"", 1);
        EXPECT_FALSE(terminal.hadErrors()) << output.str();
        m_time.runUntilIdle();
    }
};

TEST_F(TweetSheetTest, TheClassExistsByNameOnlyWhileSwitchedOn)
{
    auto& registry = rt::ClassRegistry::shared();
    EXPECT_FALSE(registry.isRegistered("TWTweetComposeViewController"));
    EXPECT_FALSE(TweetComposeViewController::canSendTweet());
    TweetComposeViewController::setAvailable(true);
    TweetComposeViewController::setAvailable(true);
    EXPECT_TRUE(TweetComposeViewController::canSendTweet());
    auto sheet = registry.create<TweetComposeViewController>("TWTweetComposeViewController");
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->setInitialText("hello"));
    TweetComposeViewController::setCanSendTweet(false);
    EXPECT_FALSE(TweetComposeViewController::canSendTweet());
    TweetComposeViewController::setAvailable(false);
    EXPECT_FALSE(registry.isRegistered("TWTweetComposeViewController"));
}

TEST_F(TweetSheetTest, InitialTextIsLimitedInUTF16UnitsAndFixedOnceShown)
{
    auto sheet = TweetComposeViewController::create();
    // U+1F600 takes two units: 138 letters and one of it are 140.
    std::string fits = std::string(138, 'a') + "\xF0\x9F\x98\x80";
    EXPECT_FALSE(sheet->setInitialText(fits + "b"));
    EXPECT_FALSE(sheet->setInitialText(std::string(141, 'a')));
    EXPECT_TRUE(sheet->setInitialText(fits));
    EXPECT_EQ(sheet->text(), fits);

    present(sheet);
    EXPECT_FALSE(sheet->setInitialText("later"));
    EXPECT_FALSE(sheet->addURL(fnd::URL::create("http://example.com/")));
    EXPECT_EQ(sheet->text(), fits);
}

TEST_F(TweetSheetTest, SendReportsTheTweetAndItsAttachmentsToTheHandler)
{
    auto sheet = TweetComposeViewController::create();
    auto context = gfx::ImageContext::create({ 8, 6 }, true, 1);
    ASSERT_TRUE(sheet->setInitialText("Look at this"));
    ASSERT_TRUE(sheet->addImage(context->image()));
    ASSERT_TRUE(sheet->addURL(fnd::URL::create("http://example.com/a")));
    EXPECT_FALSE(sheet->addImage(nullptr));
    std::vector<TweetComposeResult> results;
    // The handler holds the sheet, as a caller's handler may.
    sheet->setCompletionHandler([&, sheet](TweetComposeResult result) {
        results.push_back(result);
        m_root->dismissViewController(true);
    });
    present(sheet);

    ui::EffectCapture effects;
    press("Send");
    sheet->cancel();
    EXPECT_EQ(results, std::vector<TweetComposeResult> { TweetComposeResult::Done });
    EXPECT_EQ(effects.lines(), std::vector<std::string> { "tweet sent: \"Look at this\" with 1 image http://example.com/a" });
    EXPECT_FALSE(m_root->presentedViewController());
    std::weak_ptr<TweetComposeViewController> weakSheet = sheet;
    sheet.reset();
    m_time.runUntilIdle();
    EXPECT_TRUE(weakSheet.expired());
}

TEST_F(TweetSheetTest, CancelWithoutAHandlerDismissesTheSheet)
{
    auto sheet = TweetComposeViewController::create();
    present(sheet);
    EXPECT_EQ(m_root->presentedViewController(), sheet);
    ui::EffectCapture effects;
    press("Cancel");
    EXPECT_TRUE(sheet->hasFinished());
    EXPECT_EQ(effects.lines(), std::vector<std::string> { "tweet cancelled" });
    EXPECT_FALSE(m_root->presentedViewController());
}

}
}
