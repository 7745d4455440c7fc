#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace ui {
class BarButtonItem;
class Label;
class TextField;
class TextView;
}

namespace msg {

class MailComposeViewController;

// The composer's one screen: "To" and "Subject" fields, the body, the attachments' names, Cancel at
// the left and Send at the right (enabled once there is a recipient).
class MailComposeScreen : public ui::ViewController {
public:
    explicit MailComposeScreen(const std::shared_ptr<MailComposeViewController>&);

    std::string_view className() const override { return "MailComposeScreen"; }

    void viewDidLoad() override;
    // Shows what the composer holds.
    void refresh();

    const std::shared_ptr<ui::TextField>& toField() const { return m_to; }
    const std::shared_ptr<ui::TextField>& subjectField() const { return m_subject; }
    const std::shared_ptr<ui::TextView>& bodyView() const { return m_body; }
    const std::shared_ptr<ui::BarButtonItem>& sendItem() const { return m_sendItem; }

private:
    std::weak_ptr<MailComposeViewController> m_composer;
    std::shared_ptr<ui::TextField> m_to;
    std::shared_ptr<ui::TextField> m_subject;
    std::shared_ptr<ui::TextView> m_body;
    std::shared_ptr<ui::Label> m_attachmentsLabel;
    std::shared_ptr<ui::BarButtonItem> m_sendItem;
};

}
