#include "platform/foundation/FileManager.h"
#include "platform/messaging/MailComposeViewController.h"
#include "platform/messaging/MessageComposeViewController.h"
#include "platform/messaging/Outbox.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Effects.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TerminalDriver.h"
#include "platform/ui/Window.h"
#include "support/ui/RootScreenTest.h"
#include "support/ui/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brenzo::testing {
namespace {

struct MailOutcome {
    msg::MailComposeResult result;
    fnd::Ref<fnd::Error> error;
};

class RecordingMailDelegate : public msg::MailComposeDelegate {
public:
    void didFinishWithResult(msg::MailComposeViewController& composer, msg::MailComposeResult result, const fnd::Ref<fnd::Error>& error) override
    {
        outcomes.push_back({ result, error });
        composer.dismissViewController(true);
    }
    std::vector<MailOutcome> outcomes;
};

class RecordingMessageDelegate : public msg::MessageComposeDelegate {
public:
    void didFinishWithResult(msg::MessageComposeViewController& composer, msg::MessageComposeResult result) override
    {
        results.push_back(result);
        composer.dismissViewController(true);
    }
    std::vector<msg::MessageComposeResult> results;
};

class ComposerTest : public RootScreenTest {
protected:
    ~ComposerTest() override
    {
        msg::MailComposeViewController::setCanSendMail(true);
        msg::MessageComposeViewController::setCanSendText(true);
        resetSimulatedDevice();
    }

    std::shared_ptr<msg::MailComposeViewController> presentMail()
    {
        auto composer = msg::MailComposeViewController::create();
        composer->setMailComposeDelegate(m_mailDelegate);
        m_root->presentViewController(composer, true);
        m_time.runUntilIdle();
        return composer;
    }

    static std::string contents(const std::filesystem::path& path)
    {
        auto data = fnd::FileManager::contentsOfFile(path);
        return data ? std::string(data->span().begin(), data->span().end()) : std::string("(unreadable)");
    }

    std::shared_ptr<RecordingMailDelegate> m_mailDelegate = std::make_shared<RecordingMailDelegate>();
    std::shared_ptr<RecordingMessageDelegate> m_messageDelegate = std::make_shared<RecordingMessageDelegate>();
};

TEST_F(ComposerTest, NoComposerWhenTheDeviceCannotSend)
{
    msg::MailComposeViewController::setCanSendMail(false);
    EXPECT_FALSE(msg::MailComposeViewController::create());
    msg::MessageComposeViewController::setCanSendText(false);
    EXPECT_FALSE(msg::MessageComposeViewController::create());
    msg::MailComposeViewController::setCanSendMail(true);
    EXPECT_TRUE(msg::MailComposeViewController::create());
}

TEST_F(ComposerTest, SendingWritesTheMailToTheOutbox)
{
    auto composer = presentMail();
    composer->setToRecipients({ "feedback@brenzo.invalid" });
    composer->setSubject("Comments about Brenzo");
    composer->setMessageBody("<b>Hi</b>", true);
    composer->addAttachmentData(fnd::Data::create(std::string_view("PNGDATA")), "image/png", "photo.png");

    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("press \"Send\"", 1);
    ASSERT_EQ(m_mailDelegate->outcomes.size(), 1u);
    EXPECT_EQ(m_mailDelegate->outcomes[0].result, msg::MailComposeResult::Sent);
    EXPECT_FALSE(m_mailDelegate->outcomes[0].error);
    auto path = m_home.path() / "Outbox" / "mail-0001.eml";
    ASSERT_EQ(composer->writtenPath(), path);
    auto text = contents(path);
    EXPECT_NE(text.find("To: feedback@brenzo.invalid\r\n"), std::string::npos);
    EXPECT_NE(text.find("Subject: Comments about Brenzo\r\n"), std::string::npos);
    EXPECT_NE(text.find("Content-Type: text/html; charset=UTF-8\r\n"), std::string::npos);
    EXPECT_NE(text.find("<b>Hi</b>"), std::string::npos);
    EXPECT_NE(text.find("Content-Type: image/png; name=\"photo.png\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("UE5HREFUQQ=="), std::string::npos);
    EXPECT_EQ(output.str(), "mail sent to feedback@brenzo.invalid \"Comments about Brenzo\" (Outbox/mail-0001.eml)\n");
    EXPECT_FALSE(m_root->presentedViewController());

    // A composer reports once.
    composer->send();
    composer->finishWithResult(msg::MailComposeResult::Failed);
    EXPECT_EQ(m_mailDelegate->outcomes.size(), 1u);

    // The next mail takes the next number.
    auto second = presentMail();
    second->setToRecipients({ "a@b.invalid" });
    second->send();
    EXPECT_EQ(second->writtenPath(), m_home.path() / "Outbox" / "mail-0002.eml");
}

TEST_F(ComposerTest, SendNeedsARecipientTypedOrGiven)
{
    auto composer = presentMail();
    auto send = composer->topViewController()->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(send);
    EXPECT_FALSE(send->isEnabled());
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("press \"Send\"", 1);
    EXPECT_NE(output.str().find("is disabled"), std::string::npos);
    terminal.execute("press \"To\"", 2);
    terminal.execute("type \"ann@example.org, bob@example.org\"", 3);
    EXPECT_EQ(composer->toRecipients(), (std::vector<std::string> { "ann@example.org", "bob@example.org" }));
    EXPECT_TRUE(send->isEnabled());
    terminal.execute("press \"Subject\"", 4);
    terminal.execute("type \"Typed\"", 5);
    terminal.execute("press \"Send\"", 6);
    ASSERT_EQ(m_mailDelegate->outcomes.size(), 1u);
    EXPECT_NE(contents(*composer->writtenPath()).find("Subject: Typed\r\n"), std::string::npos);
}

TEST_F(ComposerTest, CancelOffersToDeleteOrSaveTheDraft)
{
    auto composer = presentMail();
    composer->setSubject("Draft");
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("press \"Cancel\"", 1);
    EXPECT_EQ(output.str(), "action sheet \"\" [Delete Draft] [Save Draft] [Cancel]\n");
    // Cancel on the sheet goes back to the mail.
    terminal.execute("press \"Cancel\"", 2);
    EXPECT_TRUE(m_mailDelegate->outcomes.empty());
    terminal.execute("press \"Cancel\"", 3);
    terminal.execute("press \"Save Draft\"", 4);
    ASSERT_EQ(m_mailDelegate->outcomes.size(), 1u);
    EXPECT_EQ(m_mailDelegate->outcomes[0].result, msg::MailComposeResult::Saved);
    EXPECT_TRUE(fnd::FileManager::fileExists(m_home.path() / "Drafts" / "mail-0001.eml"));
    EXPECT_FALSE(fnd::FileManager::fileExists(m_home.path() / "Outbox"));

    auto second = presentMail();
    terminal.execute("press \"Cancel\"", 5);
    terminal.execute("press \"Delete Draft\"", 6);
    EXPECT_EQ(m_mailDelegate->outcomes.at(1).result, msg::MailComposeResult::Cancelled);
    EXPECT_NE(output.str().find("mail cancelled\n"), std::string::npos);
}

TEST_F(ComposerTest, AnOutboxThatCannotBeWrittenFailsTheMail)
{
    ASSERT_TRUE(fnd::FileManager::writeAtomically(m_home.path() / "Outbox", std::string_view("not a folder")));
    auto composer = presentMail();
    composer->setToRecipients({ "a@b.invalid" });
    composer->send();
    ASSERT_EQ(m_mailDelegate->outcomes.size(), 1u);
    EXPECT_EQ(m_mailDelegate->outcomes[0].result, msg::MailComposeResult::Failed);
    EXPECT_TRUE(m_mailDelegate->outcomes[0].error);
    EXPECT_FALSE(composer->writtenPath());

    auto message = msg::MessageComposeViewController::create();
    message->setMessageComposeDelegate(m_messageDelegate);
    message->setRecipients({ "+33612345678" });
    message->send();
    EXPECT_EQ(m_messageDelegate->results, std::vector<msg::MessageComposeResult> { msg::MessageComposeResult::Failed });
}

TEST_F(ComposerTest, TestsCanFinishWithEveryResult)
{
    for (auto result : { msg::MailComposeResult::Cancelled, msg::MailComposeResult::Saved, msg::MailComposeResult::Sent, msg::MailComposeResult::Failed }) {
        auto composer = presentMail();
        composer->finishWithResult(result);
        EXPECT_EQ(m_mailDelegate->outcomes.back().result, result);
        m_time.runUntilIdle();
        EXPECT_FALSE(m_root->presentedViewController());
    }
    for (auto result : { msg::MessageComposeResult::Cancelled, msg::MessageComposeResult::Sent, msg::MessageComposeResult::Failed }) {
        auto composer = msg::MessageComposeViewController::create();
        composer->setMessageComposeDelegate(m_messageDelegate);
        composer->finishWithResult(result);
        EXPECT_EQ(m_messageDelegate->results.back(), result);
    }
}

// A composer that hears its own disappearance, as the sharing framework's composers do.
class WatchedComposer : public msg::MailComposeViewController {
public:
    void viewDidDisappear(bool animated) override
    {
        MailComposeViewController::viewDidDisappear(animated);
        ++disappearances;
        stillPresentsSomething = static_cast<bool>(presentedViewController());
    }
    int disappearances = 0;
    bool stillPresentsSomething = true;
};

TEST_F(ComposerTest, SubclassesHearTheComposerDisappear)
{
    auto composer = msg::MailComposeViewController::create<WatchedComposer>();
    ASSERT_TRUE(composer);
    composer->setMailComposeDelegate(m_mailDelegate);
    m_root->presentViewController(composer, true);
    m_time.runUntilIdle();
    composer->setToRecipients({ "a@b.invalid" });
    composer->send();
    EXPECT_EQ(composer->disappearances, 0);
    m_time.runUntilIdle();
    EXPECT_EQ(composer->disappearances, 1);
    EXPECT_FALSE(composer->stillPresentsSomething);
}

TEST_F(ComposerTest, TextMessagesGoToTheOutboxToo)
{
    auto composer = msg::MessageComposeViewController::create();
    composer->setMessageComposeDelegate(m_messageDelegate);
    composer->setBody("Look: http://example.org/a b");
    m_root->presentViewController(composer, true);
    m_time.runUntilIdle();
    std::ostringstream output;
    ui::TerminalDriver terminal(output);
    terminal.execute("press \"Send\"", 1);
    EXPECT_TRUE(m_messageDelegate->results.empty());
    terminal.execute("press \"To\"", 2);
    terminal.execute("type \"+33 6 12 34 56 78\"", 3);
    terminal.execute("press \"Send\"", 4);
    EXPECT_EQ(m_messageDelegate->results, std::vector<msg::MessageComposeResult> { msg::MessageComposeResult::Sent });
    auto text = contents(m_home.path() / "Outbox" / "message-0001.txt");
    EXPECT_EQ(text.rfind("To: +33 6 12 34 56 78\nDate: ", 0), 0u) << text;
    EXPECT_NE(text.find("\n\nLook: http://example.org/a b\n"), std::string::npos);
    EXPECT_NE(output.str().find("text message sent to +33 6 12 34 56 78 (Outbox/message-0001.txt)\n"), std::string::npos);

    auto cancelled = msg::MessageComposeViewController::create();
    cancelled->setMessageComposeDelegate(m_messageDelegate);
    cancelled->cancel();
    EXPECT_EQ(m_messageDelegate->results.back(), msg::MessageComposeResult::Cancelled);
}

}
}
