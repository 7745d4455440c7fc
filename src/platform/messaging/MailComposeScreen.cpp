#include "platform/messaging/MailComposeScreen.h"

#include "platform/messaging/MailComposeViewController.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

namespace msg {

MailComposeScreen::MailComposeScreen(const std::shared_ptr<MailComposeViewController>& composer)
    : m_composer(composer)
{
    setTitle("New Message");
    std::weak_ptr<MailComposeViewController> weakComposer = composer;
    navigationItem()->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel,
        ui::Action("cancel", [weakComposer](const fnd::Id&) {
            if (auto composer = weakComposer.lock())
                composer->cancel();
        })));
    m_sendItem = ui::BarButtonItem::createWithTitle("Send", ui::BarButtonItemStyle::Done, ui::Action("send", [weakComposer](const fnd::Id&) {
        if (auto composer = weakComposer.lock())
            composer->send();
    }));
    navigationItem()->setRightBarButtonItem(m_sendItem);
}

void MailComposeScreen::viewDidLoad()
{
    auto root = view();
    root->setBackgroundColor(gfx::Color::white());
    double width = root->bounds().width();
    auto makeField = [&](const std::string& placeholder, double y) {
        auto field = ui::TextField::create({ 10, y, width - 20, 31 });
        field->setPlaceholder(placeholder);
        field->setBorderStyle(ui::TextBorderStyle::Line);
        field->setContentVerticalAlignment(ui::ControlContentVerticalAlignment::Center);
        root->addSubview(field);
        return field;
    };
    m_to = makeField("To", 50);
    m_to->setKeyboardType(ui::KeyboardType::EmailAddress);
    m_subject = makeField("Subject", 86);
    m_attachmentsLabel = ui::Label::create({ 10, 120, width - 20, 20 });
    m_attachmentsLabel->setFont(gfx::Font::systemFont(13));
    m_attachmentsLabel->setTextColor(gfx::Color::grey(0.4));
    root->addSubview(m_attachmentsLabel);
    m_body = ui::TextView::create({ 0, 144, width, root->bounds().height() - 144 });
    m_body->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    root->addSubview(m_body);

    // The fields belong to this screen, so their actions never outlive it.
    m_to->addTargetActionForControlEvents(ui::Action("recipientsEdited", [this](const fnd::Id&) {
        if (auto composer = m_composer.lock())
            composer->recipientsEdited(m_to->text());
    }),
        ui::ControlEvent::EditingChanged);
    m_subject->addTargetActionForControlEvents(ui::Action("subjectEdited", [this](const fnd::Id&) {
        if (auto composer = m_composer.lock())
            composer->subjectEdited(m_subject->text());
    }),
        ui::ControlEvent::EditingChanged);
    refresh();
}

void MailComposeScreen::refresh()
{
    auto composer = m_composer.lock();
    if (!composer)
        return;
    m_sendItem->setEnabled(composer->canSend());
    if (!isViewLoaded() || !m_to)
        return;
    std::string recipients;
    for (auto& address : composer->toRecipients())
        recipients += (recipients.empty() ? "" : ", ") + address;
    if (!m_to->isEditing())
        m_to->setText(recipients);
    if (!m_subject->isEditing())
        m_subject->setText(composer->subject());
    if (!m_body->isEditing())
        m_body->setText(composer->messageBody());
    // An HTML body is shown as it is written and not edited here.
    m_body->setEditable(!composer->isBodyHTML());
    std::string names;
    for (auto& attachment : composer->attachments())
        names += (names.empty() ? "Attached: " : ", ") + attachment.fileName;
    m_attachmentsLabel->setText(names);
}

}
