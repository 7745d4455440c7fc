#pragma once

#include "platform/foundation/Data.h"
#include "platform/messaging/MailComposeDelegate.h"
#include "platform/messaging/MailMessage.h"
#include "platform/ui/ActionSheetDelegate.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace msg {

class MailComposeScreen;

// The mail composer: a navigation controller whose screen shows the recipients, the subject and the
// body, with Cancel and Send. Send writes the mail to the home's "Outbox/" as an RFC 5322 message
// and reports Sent (or Failed when it cannot be written); Cancel offers "Delete Draft" (Cancelled)
// and "Save Draft" (written to "Drafts/", Saved). Each outcome is reported once, as an effect line
// and to the delegate, which dismisses the composer. Tests may end it with any result.
class MailComposeViewController : public ui::NavigationController, public ui::ActionSheetDelegate {
public:
    // Whether the device has a mail account; yes unless switched off.
    static bool canSendMail();
    static void setCanSendMail(bool);
    // The sender written into every message.
    static std::string senderAddress();
    static void setSenderAddress(std::string);

    // A composer (or one of a subclass), or nothing when the device cannot send mail.
    template<typename Composer = MailComposeViewController>
    static std::shared_ptr<Composer> create()
    {
        if (!canSendMail())
            return nullptr;
        auto composer = std::make_shared<Composer>();
        composer->setUpScreen();
        return composer;
    }

    MailComposeViewController();
    ~MailComposeViewController() override;

    std::string_view className() const override { return "MailComposeViewController"; }

    // Not retained.
    std::shared_ptr<MailComposeDelegate> mailComposeDelegate() const { return m_delegate.lock(); }
    void setMailComposeDelegate(const std::shared_ptr<MailComposeDelegate>& delegate) { m_delegate = delegate; }

    const std::vector<std::string>& toRecipients() const { return m_to; }
    void setToRecipients(std::vector<std::string>);
    const std::vector<std::string>& ccRecipients() const { return m_cc; }
    void setCcRecipients(std::vector<std::string> recipients) { m_cc = std::move(recipients); updateScreen(); }
    const std::vector<std::string>& bccRecipients() const { return m_bcc; }
    void setBccRecipients(std::vector<std::string> recipients) { m_bcc = std::move(recipients); updateScreen(); }
    const std::string& subject() const { return m_subject; }
    void setSubject(std::string);
    const std::string& messageBody() const { return m_body; }
    bool isBodyHTML() const { return m_bodyIsHTML; }
    void setMessageBody(std::string body, bool isHTML);
    void addAttachmentData(fnd::Ref<fnd::Data>, std::string mimeType, std::string fileName);
    const std::vector<MailMessage::Attachment>& attachments() const { return m_attachments; }

    // The message as Send would write it now.
    MailMessage message() const;
    bool canSend() const { return !m_to.empty() || !m_cc.empty() || !m_bcc.empty(); }

    // The buttons: Send, Cancel (which asks about the draft), and the draft choices.
    void send();
    void cancel();
    void saveDraft();
    void deleteDraft();
    // Ends the composer with a result, as the user's choice would; later results are ignored.
    void finishWithResult(MailComposeResult, fnd::Ref<fnd::Error> = nullptr);
    bool hasFinished() const { return m_finished; }
    // Where Send or Save Draft wrote the message.
    const std::optional<std::filesystem::path>& writtenPath() const { return m_writtenPath; }

    void clickedButtonAtIndex(ui::ActionSheet&, int buttonIndex) override;

    // For the screen.
    void recipientsEdited(const std::string& text);
    void subjectEdited(const std::string& text);

protected:
    void setUpScreen();

private:
    void updateScreen();
    std::string recipientsText() const;

    std::weak_ptr<MailComposeDelegate> m_delegate;
    std::shared_ptr<MailComposeScreen> m_screen;
    std::vector<std::string> m_to;
    std::vector<std::string> m_cc;
    std::vector<std::string> m_bcc;
    std::string m_subject;
    std::string m_body;
    bool m_bodyIsHTML = false;
    std::vector<MailMessage::Attachment> m_attachments;
    bool m_finished = false;
    std::optional<std::filesystem::path> m_writtenPath;
};

}
