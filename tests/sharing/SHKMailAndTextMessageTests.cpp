#include "SharingScreenTest.h"
#include "ShareChoiceTestSupport.h"

#include "platform/messaging/MailComposeViewController.h"
#include "platform/messaging/MessageComposeViewController.h"
#include "sharing/core/SHKMailComposeViewController.h"
#include "sharing/core/SHKMessageComposeViewController.h"
#include "sharing/sharers/SHKMail.h"
#include "sharing/sharers/SHKRegisterSharers.h"
#include "sharing/sharers/SHKTextMessage.h"

namespace brenzo::testing {

namespace {

std::shared_ptr<SwitchableConfigurator> configuratorWithSignature(bool signature)
{
    auto configurator = std::make_shared<SwitchableConfigurator>();
    configurator->signature = signature;
    return configurator;
}

fnd::Ref<SHKItem> linkItem(std::string_view address, std::optional<std::string> text = std::nullopt)
{
    auto item = SHKItem::createWithURL(fnd::URL::create(address), std::string("Brenzo"));
    item->setText(std::move(text));
    return item;
}

}

class SHKComposerSharerTest : public SharingScreenTest {
protected:
    explicit SHKComposerSharerTest(bool signature = false)
        : SharingScreenTest(configuratorWithSignature(signature))
    {
        SHKRegisterSharers();
    }

    ~SHKComposerSharerTest() override
    {
        msg::MailComposeViewController::setCanSendMail(true);
        msg::MessageComposeViewController::setCanSendText(true);
    }

    template<typename Sharer>
    std::shared_ptr<Sharer> share(fnd::Ref<SHKItem> item)
    {
        auto sharer = SHKSharer::create<Sharer>();
        sharer->setItem(std::move(item));
        sharer->setShareDelegate(m_reports);
        sharer->share();
        settle();
        return sharer;
    }

    static std::shared_ptr<SHKMailComposeViewController> mailComposer()
    {
        return std::dynamic_pointer_cast<SHKMailComposeViewController>(SHK::currentHelper().currentView());
    }

    static std::shared_ptr<SHKMessageComposeViewController> messageComposer()
    {
        return std::dynamic_pointer_cast<SHKMessageComposeViewController>(SHK::currentHelper().currentView());
    }

    // Mails the image item and answers its one attachment.
    std::optional<msg::MailMessage::Attachment> mailedAttachment(fnd::Ref<SHKItem> item)
    {
        share<SHKMail>(std::move(item));
        auto composer = mailComposer();
        if (!composer || composer->attachments().size() != 1)
            return std::nullopt;
        auto attachment = composer->attachments().front();
        composer->finishWithResult(msg::MailComposeResult::Cancelled);
        settle();
        return attachment;
    }

    std::shared_ptr<ReportRecorder> m_reports = std::make_shared<ReportRecorder>();
};

class SHKSignedMailTest : public SHKComposerSharerTest {
protected:
    SHKSignedMailTest()
        : SHKComposerSharerTest(true)
    {
    }
};

TEST_F(SHKComposerSharerTest, AMailedLinkHasTheTextThenTheReadableLinkAsHTMLUnderTheTitle)
{
    auto item = linkItem("http://example.org/two%20words?a=1", "Fish & chips <b>now</b>");
    share<SHKMail>(item);

    auto composer = mailComposer();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->subject(), "Brenzo");
    EXPECT_TRUE(composer->isBodyHTML());
    EXPECT_EQ(composer->messageBody(), "Fish &amp; chips &lt;b&gt;now&lt;/b&gt;<br/><br/>http://example.org/two words?a=1");
    EXPECT_EQ(item->customValueForKey(SHKMail::bodyKey), composer->messageBody());
    EXPECT_TRUE(composer->attachments().empty());

    composer->finishWithResult(msg::MailComposeResult::Sent);
    settle();
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "finished" });
}

TEST_F(SHKComposerSharerTest, ASecondMailOfTheItemReusesItsBody)
{
    auto item = linkItem("http://example.org/", "First words");
    share<SHKMail>(item);
    ASSERT_TRUE(mailComposer());
    mailComposer()->finishWithResult(msg::MailComposeResult::Cancelled);
    settle();

    item->setText(std::string("Other words"));
    share<SHKMail>(item);
    ASSERT_TRUE(mailComposer());
    EXPECT_EQ(mailComposer()->messageBody(), "First words<br/><br/>http://example.org/");
    mailComposer()->finishWithResult(msg::MailComposeResult::Cancelled);
    settle();
}

TEST_F(SHKComposerSharerTest, AFileIsAttachedAndNamedInTheBody)
{
    auto data = fnd::Data::create(std::string_view("a,b\n1,2\n"));
    share<SHKMail>(SHKItem::createWithFile(data, std::string("table.csv"), std::string("text/csv"), std::nullopt));
    auto composer = mailComposer();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->messageBody(), "Attached: table.csv");
    ASSERT_EQ(composer->attachments().size(), 1u);
    EXPECT_EQ(composer->attachments()[0].mimeType, "text/csv");
    EXPECT_EQ(composer->attachments()[0].fileName, "table.csv");
    EXPECT_TRUE(fnd::isEqual(composer->attachments()[0].data, data));
    composer->finishWithResult(msg::MailComposeResult::Cancelled);
    settle();
}

TEST_F(SHKComposerSharerTest, AMailedPictureIsAJPEGAtTheItemsQualityWithinZeroToOne)
{
    auto picture = solidImage(16, 8, 0.2, 0.5, 0.9);
    struct Case {
        std::optional<std::string> quality;
        double expected;
    };
    for (auto& [quality, expected] : { Case { std::nullopt, 1.0 }, Case { "0.25", 0.25 }, Case { "7", 1.0 }, Case { "-2", 0.0 }, Case { "high", 1.0 } }) {
        auto item = SHKItem::createWithImage(picture, std::string("Sunset"));
        item->setCustomValueForKey(quality, SHKMail::jpgQualityKey);
        auto attachment = mailedAttachment(item);
        ASSERT_TRUE(attachment) << quality.value_or("none");
        EXPECT_EQ(attachment->fileName, "Image.jpg");
        EXPECT_EQ(attachment->mimeType, "image/jpeg");
        EXPECT_TRUE(fnd::isEqual(attachment->data, picture->jpegRepresentation(expected))) << quality.value_or("none");
    }
    EXPECT_FALSE(fnd::isEqual(picture->jpegRepresentation(0.0), picture->jpegRepresentation(1.0)));
}

TEST_F(SHKSignedMailTest, WithASignatureAnItemWithoutTextOrLinkHasOnlyTheSignature)
{
    share<SHKMail>(SHKItem::createWithImage(solidImage(4, 4, 1, 1, 0)));
    auto composer = mailComposer();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->messageBody(), "<br/><br/>Sent from My App Name");
    EXPECT_EQ(composer->subject(), "");
    composer->finishWithResult(msg::MailComposeResult::Cancelled);
    settle();
}

TEST_F(SHKComposerSharerTest, TheMailSharerLivesUntilTheComposersResultAndReportsItAfterHiding)
{
    struct Case {
        msg::MailComposeResult result;
        std::string report;
    };
    for (auto& [result, report] : { Case { msg::MailComposeResult::Sent, "finished" }, Case { msg::MailComposeResult::Saved, "finished" },
             Case { msg::MailComposeResult::Cancelled, "cancelled" }, Case { msg::MailComposeResult::Failed, "failed" } }) {
        m_reports = std::make_shared<ReportRecorder>();
        std::weak_ptr<SHKMail> sharer = share<SHKMail>(linkItem("http://example.org/"));
        ASSERT_FALSE(sharer.expired());
        auto composer = mailComposer();
        ASSERT_TRUE(composer);

        composer->finishWithResult(result, fnd::Error::withDescription("test", 1, "disk full"));
        EXPECT_EQ(m_reports->reports, std::vector<std::string> { report });
        EXPECT_EQ(m_reports->hidingWhenReported, std::vector<bool> { true });
        settle();
        EXPECT_TRUE(sharer.expired());
        EXPECT_FALSE(SHK::currentHelper().currentView());
    }
}

TEST_F(SHKComposerSharerTest, ADeviceThatCannotMailReportsAFailureAndShowsNothing)
{
    msg::MailComposeViewController::setCanSendMail(false);
    EXPECT_FALSE(SHKSharerClass::of<SHKMail>().canShare());
    std::weak_ptr<SHKMail> sharer = share<SHKMail>(linkItem("http://example.org/"));
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "failed" });
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(sharer.expired());
}

TEST_F(SHKComposerSharerTest, ATextMessageIsTheTextAndTheReadableLinkABlankLineApart)
{
    auto item = linkItem("http://example.org/two%20words", "Have a look");
    share<SHKTextMessage>(item);
    auto composer = messageComposer();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->body(), "Have a look\n\nhttp://example.org/two words");
    EXPECT_EQ(item->customValueForKey(SHKTextMessage::bodyKey), composer->body());
    composer->finishWithResult(msg::MessageComposeResult::Cancelled);
    settle();

    share<SHKTextMessage>(linkItem("http://example.org/caf%E9"));
    ASSERT_TRUE(messageComposer());
    // Escapes that do not decode to UTF-8 stay as they are.
    EXPECT_EQ(messageComposer()->body(), "http://example.org/caf%E9");
    messageComposer()->finishWithResult(msg::MessageComposeResult::Cancelled);
    settle();
}

TEST_F(SHKComposerSharerTest, TheTextMessageSharerReportsBeforeHidingAndLivesUntilTheResult)
{
    struct Case {
        msg::MessageComposeResult result;
        std::string report;
    };
    for (auto& [result, report] : { Case { msg::MessageComposeResult::Sent, "finished" }, Case { msg::MessageComposeResult::Cancelled, "cancelled" },
             Case { msg::MessageComposeResult::Failed, "failed" } }) {
        m_reports = std::make_shared<ReportRecorder>();
        std::weak_ptr<SHKTextMessage> sharer = share<SHKTextMessage>(SHKItem::createWithText(std::string("Hello")));
        ASSERT_FALSE(sharer.expired());
        auto composer = messageComposer();
        ASSERT_TRUE(composer);
        EXPECT_EQ(composer->body(), "Hello");

        composer->finishWithResult(result);
        EXPECT_EQ(m_reports->reports, std::vector<std::string> { report });
        EXPECT_EQ(m_reports->hidingWhenReported, std::vector<bool> { false });
        EXPECT_TRUE(SHK::currentHelper().isDismissingView());
        settle();
        EXPECT_TRUE(sharer.expired());
        EXPECT_FALSE(SHK::currentHelper().currentView());
    }
}

TEST_F(SHKComposerSharerTest, ADeviceThatCannotTextReportsAFailureAndShowsNothing)
{
    msg::MessageComposeViewController::setCanSendText(false);
    EXPECT_FALSE(SHKSharerClass::of<SHKTextMessage>().canShare());
    std::weak_ptr<SHKTextMessage> sharer = share<SHKTextMessage>(SHKItem::createWithText(std::string("Hello")));
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "failed" });
    EXPECT_FALSE(SHK::currentHelper().currentView());
    EXPECT_TRUE(sharer.expired());
}

}
