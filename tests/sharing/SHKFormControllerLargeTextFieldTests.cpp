#include "SharingScreenTest.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationItem.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKCustomFormControllerLargeTextField.h"

namespace brenzo::testing {

namespace {

constexpr gfx::Color red { 1, 0, 0 };

// What the screens told their delegates, kept outside the delegates, which may be gone by then.
struct DelegateLog {
    std::vector<std::string> events;
};

class ComposeDelegate : public SHKFormControllerLargeTextFieldDelegate {
public:
    explicit ComposeDelegate(std::shared_ptr<DelegateLog> log)
        : m_log(std::move(log))
    {
    }

    void sendForm(SHKFormControllerLargeTextField& form) override
    {
        m_log->events.push_back("send \"" + form.textView()->text() + "\"" + (SHK::currentHelper().isDismissingView() ? " after hiding" : ""));
    }
    void sendDidCancel() override { m_log->events.push_back(std::string("cancel") + (SHK::currentHelper().isDismissingView() ? " after hiding" : "")); }

private:
    std::shared_ptr<DelegateLog> m_log;
};

// A service that composes its posts on the screen.
class ChirpSharer : public SHKSharer, public SHKFormControllerLargeTextFieldDelegate {
public:
    static constexpr std::string_view sharerClassName = "ChirpSharer";
    static std::string sharerTitle() { return "Chirp"; }

    void sendForm(SHKFormControllerLargeTextField&) override { }
    void sendDidCancel() override { SHKSharer::sendDidCancel(); }
};

}

class SHKFormControllerLargeTextFieldTest : public SharingScreenTest {
protected:
    SHKFormControllerLargeTextFieldTest() { ui::Keyboard::shared().resetForTesting(); }
    ~SHKFormControllerLargeTextFieldTest() override { ui::Keyboard::shared().resetForTesting(); }

    struct Setup {
        size_t limit = 0;
        bool image = false;
        size_t imageLength = 0;
        std::string text;
    };

    // A compose screen for the delegate, shown through the sharing helper, its keyboard up.
    std::shared_ptr<SHKFormControllerLargeTextField> show(const Setup& setup, std::shared_ptr<SHKFormControllerLargeTextFieldDelegate> delegate = nullptr)
    {
        if (!delegate)
            delegate = std::make_shared<ComposeDelegate>(m_log);
        auto form = SHKCustomFormControllerLargeTextField::create(delegate);
        form->setMaxTextLength(setup.limit);
        if (setup.image)
            form->setImage(solidImage(8, 8, 0, 0, 1));
        form->setImageTextLength(setup.imageLength);
        form->setText(setup.text);
        SHK::currentHelper().showViewController(form);
        settle();
        return form;
    }

    // Takes the shown screen away through its Cancel button.
    void close(SHKFormControllerLargeTextField& form)
    {
        form.navigationItem()->leftBarButtonItem()->press();
        settle();
    }

    std::shared_ptr<DelegateLog> m_log = std::make_shared<DelegateLog>();
};

TEST_F(SHKFormControllerLargeTextFieldTest, TheCounterCountsDownInUTF16UnitsAndGoesRedAndNegativePastTheLimit)
{
    struct Case {
        Setup setup;
        std::string counter;
        bool isRed;
        bool canSend;
    };
    const std::string emoji = "\xF0\x9F\x98\x80";
    std::vector<Case> cases;
    auto add = [&](Setup setup, std::string counter, bool isRed, bool canSend) {
        cases.push_back({ std::move(setup), std::move(counter), isRed, canSend });
    };
    add({ 140, false, 0, std::string(141, 'a') }, "-1", true, false);
    add({ 140, false, 0, std::string(140, 'a') }, "0", false, true);
    add({ 140, false, 0, std::string(139, 'a') + emoji }, "-1", true, false);
    add({ 140, false, 0, std::string(138, 'a') + emoji }, "0", false, true);
    add({ 140, false, 0, "" }, "140", false, false);
    add({ 140, true, 20, std::string(100, 'a') }, "Image + 20", false, true);
    add({ 140, true, 20, std::string(120, 'a') }, "Image  0", false, true);
    add({ 140, true, 20, std::string(121, 'a') }, "Image  -1", true, false);
    add({ 0, true, 20, "hello" }, "Image  ", false, true);
    for (auto& testCase : cases) {
        auto form = show(testCase.setup);
        auto& counter = form->counter();
        ASSERT_TRUE(counter) << testCase.counter;
        EXPECT_EQ(counter->text(), testCase.counter);
        EXPECT_EQ(counter->textColor(), testCase.isRed ? red : gfx::Color::black()) << testCase.counter;
        EXPECT_EQ(form->sendButton()->isEnabled(), testCase.canSend) << testCase.counter;
        close(*form);
    }
}

TEST_F(SHKFormControllerLargeTextFieldTest, WithoutLimitPictureOrLinkThereIsNoCounterAndSendNeedsText)
{
    auto form = show({ 0, false, 0, "" });
    EXPECT_FALSE(form->counter());
    EXPECT_FALSE(form->sendButton()->isEnabled());

    form->textView()->insertText("Hi");
    EXPECT_TRUE(form->sendButton()->isEnabled());
    EXPECT_FALSE(form->counter());

    form->setHasLink(true);
    form->textView()->insertText("!");
    ASSERT_TRUE(form->counter());
    EXPECT_EQ(form->counter()->text(), "");
    close(*form);
}

TEST_F(SHKFormControllerLargeTextFieldTest, TypingUpdatesTheCounterAndTheSendButton)
{
    auto form = show({ 5, false, 0, "abcd" });
    EXPECT_EQ(form->counter()->text(), "1");
    EXPECT_TRUE(form->sendButton()->isEnabled());

    form->textView()->insertText("ef");
    EXPECT_EQ(form->counter()->text(), "-1");
    EXPECT_EQ(form->counter()->textColor(), red);
    EXPECT_FALSE(form->sendButton()->isEnabled());

    form->textView()->deleteBackward();
    EXPECT_EQ(form->counter()->text(), "0");
    EXPECT_EQ(form->counter()->textColor(), gfx::Color::black());
    EXPECT_TRUE(form->sendButton()->isEnabled());
    close(*form);
}

TEST_F(SHKFormControllerLargeTextFieldTest, TheTextEndsAtTheKeyboardWithTheCounterAboveItsBottomEdge)
{
    auto form = show({ 140, false, 0, "Hello" });
    auto& textView = form->textView();
    EXPECT_TRUE(textView->isFirstResponder());
    EXPECT_EQ(textView->font(), gfx::Font::systemFont(15));

    auto textFrame = textView->convertRectToScreen(textView->bounds());
    EXPECT_EQ(textFrame.maxY(), ui::Keyboard::shared().frame().minY());
    EXPECT_EQ(textFrame.maxY(), 480 - ui::Keyboard::height);

    auto height = textView->bounds().height();
    EXPECT_EQ(form->counter()->frame(), (gfx::Rect { 320 - 165, height - 24, 150, 15 }));
    EXPECT_EQ(form->counter()->font(), gfx::Font::boldSystemFont(14));
    EXPECT_EQ(form->counter()->textAlignment(), gfx::TextAlignment::Right);
    EXPECT_EQ(textView->contentInset(), (ui::EdgeInsets { 5, 5, 32, 0 }));
    close(*form);
}

TEST_F(SHKFormControllerLargeTextFieldTest, SendAndCancelCloseTheScreenFirstThenTellTheDelegate)
{
    auto form = show({ 140, false, 0, "Post this" });
    form->textView()->insertText(" now");
    form->sendButton()->press();
    settle();
    EXPECT_FALSE(SHK::currentHelper().currentView());

    auto again = show({ 140, false, 0, "Never mind" });
    close(*again);
    EXPECT_EQ(m_log->events, (std::vector<std::string> { "send \"Post this now\" after hiding", "cancel after hiding" }));
}

TEST_F(SHKFormControllerLargeTextFieldTest, TheDelegateStaysAliveWhileTheScreenIsUp)
{
    auto delegate = std::make_shared<ComposeDelegate>(m_log);
    std::weak_ptr<ComposeDelegate> watched = delegate;
    auto form = show({ 0, false, 0, "Still here" }, std::move(delegate));
    EXPECT_FALSE(watched.expired());
    EXPECT_EQ(form->delegate(), watched.lock());

    form->sendButton()->press();
    EXPECT_EQ(m_log->events, std::vector<std::string> { "send \"Still here\" after hiding" });
    settle();
    EXPECT_TRUE(watched.expired());
}

TEST_F(SHKFormControllerLargeTextFieldTest, TheSendButtonNamesTheService)
{
    auto sharer = SHKSharer::create<ChirpSharer>();
    auto form = show({ 140, false, 0, "Hello" }, sharer);
    EXPECT_EQ(form->sendButton()->title(), "Send to Chirp");
    EXPECT_EQ(form->sendButton()->style(), ui::BarButtonItemStyle::Done);
    EXPECT_EQ(form->navigationItem()->leftBarButtonItem()->systemItem(), ui::BarButtonSystemItem::Cancel);
    close(*form);
}

}
