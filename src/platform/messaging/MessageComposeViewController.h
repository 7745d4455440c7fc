#pragma once

#include "platform/messaging/MessageComposeDelegate.h"
#include "platform/ui/NavigationController.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {
class BarButtonItem;
class TextField;
class TextView;
}

namespace msg {

// The text-message composer: a navigation controller whose screen shows the recipients and the
// body, with Cancel and Send (enabled once there is a recipient). Send writes the message to the home's "Outbox/" as a small text file
// ("To:", "Date:", a blank line, the body) and reports Sent, or Failed when it cannot be written;
// Cancel reports Cancelled. Each outcome is reported once, as an effect line and to the delegate,
// which dismisses the composer. Tests may end it with any result.
class MessageComposeViewController : public ui::NavigationController {
public:
    // Whether the device can send text messages; yes unless switched off.
    static bool canSendText();
    static void setCanSendText(bool);

    // A composer (or one of a subclass), or nothing when the device cannot send text messages.
    template<typename Composer = MessageComposeViewController>
    static std::shared_ptr<Composer> create()
    {
        if (!canSendText())
            return nullptr;
        auto composer = std::make_shared<Composer>();
        composer->setUpScreen();
        return composer;
    }

    MessageComposeViewController();
    ~MessageComposeViewController() override;

    std::string_view className() const override { return "MessageComposeViewController"; }

    // Not retained.
    std::shared_ptr<MessageComposeDelegate> messageComposeDelegate() const { return m_delegate.lock(); }
    void setMessageComposeDelegate(const std::shared_ptr<MessageComposeDelegate>& delegate) { m_delegate = delegate; }

    const std::vector<std::string>& recipients() const { return m_recipients; }
    void setRecipients(std::vector<std::string>);
    // The body as shown (and edited) on the screen.
    std::string body() const;
    void setBody(std::string);

    // The file Send would write now.
    std::string messageText() const;

    void send();
    void cancel();
    // Ends the composer with a result, as the user's choice would; later results are ignored.
    void finishWithResult(MessageComposeResult);
    bool hasFinished() const { return m_finished; }
    const std::optional<std::filesystem::path>& writtenPath() const { return m_writtenPath; }

protected:
    void setUpScreen();

private:
    void refreshScreen();

    std::weak_ptr<MessageComposeDelegate> m_delegate;
    std::vector<std::string> m_recipients;
    std::string m_body;
    std::shared_ptr<ui::ViewController> m_screen;
    std::shared_ptr<ui::TextField> m_toField;
    std::shared_ptr<ui::TextView> m_bodyView;
    std::shared_ptr<ui::BarButtonItem> m_sendItem;
    bool m_finished = false;
    std::optional<std::filesystem::path> m_writtenPath;
};

}
