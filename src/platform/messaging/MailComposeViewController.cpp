#include "platform/messaging/MailComposeViewController.h"

#include "platform/foundation/Clock.h"
#include "platform/messaging/MailComposeScreen.h"
#include "platform/messaging/Outbox.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Effects.h"
#include "platform/ui/TextView.h"

#include <atomic>
#include <mutex>

namespace msg {

namespace {

std::atomic<bool> mailAvailable { true };

std::mutex& senderLock()
{
    static std::mutex lock;
    return lock;
}

std::string& sender()
{
    static std::string address = "Brenzo User <user@brenzo.invalid>";
    return address;
}

std::vector<std::string> splitAddresses(const std::string& text)
{
    std::vector<std::string> addresses;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        auto piece = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        size_t first = piece.find_first_not_of(" \t");
        size_t last = piece.find_last_not_of(" \t");
        if (first != std::string::npos)
            addresses.push_back(piece.substr(first, last - first + 1));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return addresses;
}

constexpr int deleteDraftButton = 0;
constexpr int saveDraftButton = 1;

}

MailComposeDelegate::~MailComposeDelegate() = default;

bool MailComposeViewController::canSendMail()
{
    return mailAvailable;
}

void MailComposeViewController::setCanSendMail(bool available)
{
    mailAvailable = available;
}

std::string MailComposeViewController::senderAddress()
{
    std::lock_guard guard(senderLock());
    return sender();
}

void MailComposeViewController::setSenderAddress(std::string address)
{
    std::lock_guard guard(senderLock());
    sender() = std::move(address);
}

MailComposeViewController::MailComposeViewController() = default;
MailComposeViewController::~MailComposeViewController() = default;

void MailComposeViewController::setUpScreen()
{
    m_screen = std::make_shared<MailComposeScreen>(sharedAs<MailComposeViewController>());
    pushViewController(m_screen, false);
}

void MailComposeViewController::updateScreen()
{
    if (m_screen)
        m_screen->refresh();
}

void MailComposeViewController::setToRecipients(std::vector<std::string> recipients)
{
    m_to = std::move(recipients);
    updateScreen();
}

void MailComposeViewController::setSubject(std::string subject)
{
    m_subject = std::move(subject);
    if (m_screen)
        m_screen->setTitle(m_subject.empty() ? "New Message" : m_subject);
    updateScreen();
}

void MailComposeViewController::setMessageBody(std::string body, bool isHTML)
{
    m_body = std::move(body);
    m_bodyIsHTML = isHTML;
    updateScreen();
}

void MailComposeViewController::addAttachmentData(fnd::Ref<fnd::Data> data, std::string mimeType, std::string fileName)
{
    m_attachments.push_back({ std::move(data), std::move(mimeType), std::move(fileName) });
    updateScreen();
}

void MailComposeViewController::recipientsEdited(const std::string& text)
{
    m_to = splitAddresses(text);
    updateScreen();
}

void MailComposeViewController::subjectEdited(const std::string& text)
{
    m_subject = text;
}

MailMessage MailComposeViewController::message() const
{
    MailMessage message;
    message.from = senderAddress();
    message.to = m_to;
    message.cc = m_cc;
    message.bcc = m_bcc;
    message.subject = m_subject;
    message.body = m_body;
    if (m_screen && m_screen->bodyView() && !m_bodyIsHTML)
        message.body = m_screen->bodyView()->text();
    message.bodyIsHTML = m_bodyIsHTML;
    message.attachments = m_attachments;
    message.date = fnd::Clock::current().now();
    return message;
}

std::string MailComposeViewController::recipientsText() const
{
    std::string text;
    for (auto* list : { &m_to, &m_cc, &m_bcc }) {
        for (auto& address : *list)
            text += (text.empty() ? "" : ", ") + address;
    }
    return text;
}

void MailComposeViewController::send()
{
    if (m_finished || !canSend())
        return;
    fnd::Ref<fnd::Error> error;
    auto path = Outbox::write(Outbox::directory(), "mail", ".eml", message().serialize(), &error);
    if (!path) {
        ui::Effects::report("mail to " + recipientsText() + " failed: " + (error ? error->localizedDescription() : std::string("cannot write")));
        finishWithResult(MailComposeResult::Failed, error);
        return;
    }
    m_writtenPath = path;
    ui::Effects::report("mail sent to " + recipientsText() + " \"" + m_subject + "\" (" + Outbox::displayPath(*path) + ")");
    finishWithResult(MailComposeResult::Sent);
}

void MailComposeViewController::cancel()
{
    if (m_finished)
        return;
    auto sheet = ui::ActionSheet::create({}, sharedAs<MailComposeViewController>(), "Cancel", "Delete Draft", { "Save Draft" });
    sheet->showInView(*view());
}

void MailComposeViewController::clickedButtonAtIndex(ui::ActionSheet&, int buttonIndex)
{
    if (buttonIndex == deleteDraftButton)
        deleteDraft();
    else if (buttonIndex == saveDraftButton)
        saveDraft();
}

void MailComposeViewController::saveDraft()
{
    if (m_finished)
        return;
    fnd::Ref<fnd::Error> error;
    auto path = Outbox::write(Outbox::draftsDirectory(), "mail", ".eml", message().serialize(), &error);
    if (!path) {
        ui::Effects::report("mail draft failed: " + (error ? error->localizedDescription() : std::string("cannot write")));
        finishWithResult(MailComposeResult::Failed, error);
        return;
    }
    m_writtenPath = path;
    ui::Effects::report("mail saved as a draft (" + Outbox::displayPath(*path) + ")");
    finishWithResult(MailComposeResult::Saved);
}

void MailComposeViewController::deleteDraft()
{
    if (m_finished)
        return;
    ui::Effects::report("mail cancelled");
    finishWithResult(MailComposeResult::Cancelled);
}

void MailComposeViewController::finishWithResult(MailComposeResult result, fnd::Ref<fnd::Error> error)
{
    if (m_finished)
        return;
    m_finished = true;
    auto protect = sharedAs<MailComposeViewController>();
    if (auto delegate = mailComposeDelegate()) {
        delegate->didFinishWithResult(*this, result, error);
        return;
    }
    // Nobody would ever take it away otherwise.
    dismissViewController(true);
}

}
