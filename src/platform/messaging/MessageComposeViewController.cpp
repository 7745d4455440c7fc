#include "platform/messaging/MessageComposeViewController.h"

#include "platform/foundation/Clock.h"
#include "platform/messaging/MailMessage.h"
#include "platform/messaging/Outbox.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Effects.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <atomic>

namespace msg {

namespace {

std::atomic<bool> textAvailable { true };

std::string joined(const std::vector<std::string>& recipients)
{
    std::string text;
    for (auto& recipient : recipients)
        text += (text.empty() ? "" : ", ") + recipient;
    return text;
}

}

MessageComposeDelegate::~MessageComposeDelegate() = default;

bool MessageComposeViewController::canSendText()
{
    return textAvailable;
}

void MessageComposeViewController::setCanSendText(bool available)
{
    textAvailable = available;
}

MessageComposeViewController::MessageComposeViewController() = default;
MessageComposeViewController::~MessageComposeViewController() = default;

void MessageComposeViewController::setUpScreen()
{
    m_screen = ui::ViewController::create();
    m_screen->setTitle("New Message");
    std::weak_ptr<MessageComposeViewController> weakThis = sharedAs<MessageComposeViewController>();
    auto item = m_screen->navigationItem();
    item->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel,
        ui::Action("cancel", [weakThis](const fnd::Id&) {
            if (auto composer = weakThis.lock())
                composer->cancel();
        })));
    m_sendItem = ui::BarButtonItem::createWithTitle("Send", ui::BarButtonItemStyle::Done, ui::Action("send", [weakThis](const fnd::Id&) {
        if (auto composer = weakThis.lock())
            composer->send();
    }));
    item->setRightBarButtonItem(m_sendItem);

    auto root = m_screen->view();
    root->setBackgroundColor(gfx::Color::white());
    double width = root->bounds().width();
    m_toField = ui::TextField::create({ 10, 50, width - 20, 31 });
    m_toField->setPlaceholder("To");
    m_toField->setBorderStyle(ui::TextBorderStyle::Line);
    m_toField->setKeyboardType(ui::KeyboardType::PhonePad);
    m_toField->addTargetActionForControlEvents(ui::Action("recipientsEdited", [weakThis](const fnd::Id&) {
        auto composer = weakThis.lock();
        if (!composer)
            return;
        std::vector<std::string> recipients;
        std::string text = composer->m_toField->text();
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(',', start);
            auto piece = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            auto first = piece.find_first_not_of(' ');
            if (first != std::string::npos)
                recipients.push_back(piece.substr(first, piece.find_last_not_of(' ') - first + 1));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        composer->m_recipients = std::move(recipients);
        composer->m_sendItem->setEnabled(!composer->m_recipients.empty());
    }),
        ui::ControlEvent::EditingChanged);
    root->addSubview(m_toField);
    m_bodyView = ui::TextView::create({ 0, 90, width, root->bounds().height() - 90 });
    root->addSubview(m_bodyView);
    pushViewController(m_screen, false);
    refreshScreen();
}

void MessageComposeViewController::refreshScreen()
{
    if (m_toField && !m_toField->isEditing())
        m_toField->setText(joined(m_recipients));
    if (m_bodyView && !m_bodyView->isEditing())
        m_bodyView->setText(m_body);
    if (m_sendItem)
        m_sendItem->setEnabled(!m_recipients.empty());
}

void MessageComposeViewController::setRecipients(std::vector<std::string> recipients)
{
    m_recipients = std::move(recipients);
    refreshScreen();
}

std::string MessageComposeViewController::body() const
{
    return m_bodyView ? m_bodyView->text() : m_body;
}

void MessageComposeViewController::setBody(std::string body)
{
    m_body = std::move(body);
    refreshScreen();
}

std::string MessageComposeViewController::messageText() const
{
    return "To: " + MailMessage::headerSafe(joined(m_recipients)) + "\nDate: " + MailMessage::dateText(fnd::Clock::current().now()) + "\n\n" + body()
        + "\n";
}

void MessageComposeViewController::send()
{
    if (m_finished || m_recipients.empty())
        return;
    fnd::Ref<fnd::Error> error;
    auto path = Outbox::write(Outbox::directory(), "message", ".txt", messageText(), &error);
    if (!path) {
        ui::Effects::report("text message to " + joined(m_recipients) + " failed: " + (error ? error->localizedDescription() : std::string("cannot write")));
        finishWithResult(MessageComposeResult::Failed);
        return;
    }
    m_writtenPath = path;
    ui::Effects::report("text message sent to " + joined(m_recipients) + " ("
        + Outbox::displayPath(*path) + ")");
    finishWithResult(MessageComposeResult::Sent);
}

void MessageComposeViewController::cancel()
{
    if (m_finished)
        return;
    ui::Effects::report("text message cancelled");
    finishWithResult(MessageComposeResult::Cancelled);
}

void MessageComposeViewController::finishWithResult(MessageComposeResult result)
{
    if (m_finished)
        return;
    m_finished = true;
    auto protect = sharedAs<MessageComposeViewController>();
    if (auto delegate = messageComposeDelegate()) {
        delegate->didFinishWithResult(*this, result);
        return;
    }
    dismissViewController(true);
}

}
