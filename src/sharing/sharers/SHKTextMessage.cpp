#include "sharing/sharers/SHKTextMessage.h"

#include "sharing/core/SHK.h"
#include "sharing/core/SHKMessageComposeViewController.h"
#include "sharing/sharers/SHKURLText.h"

bool SHKTextMessage::canShare()
{
    return msg::MessageComposeViewController::canSendText();
}

bool SHKTextMessage::send()
{
    setQuiet(true);
    if (!validateItem())
        return false;
    return sendText();
}

std::string SHKTextMessage::bodyForItem(const SHKItem& item)
{
    std::optional<std::string> body = item.text();
    if (item.URL()) {
        auto link = SHKURLTextWithoutEscapes(*item.URL());
        // A text message is plain text: the parts are a blank line apart.
        body = body ? *body + "\n\n" + link : link;
    }
    return body.value_or(std::string());
}

bool SHKTextMessage::sendText()
{
    auto composer = SHKMessageComposeViewController::create();
    if (!composer) {
        SHK::currentHelper().hideCurrentViewControllerAnimated(true);
        // Reported, so that whoever waits for the outcome (an offline replay) is not left waiting.
        sendDidFailWithError(nullptr);
        return true;
    }
    composer->setMessageComposeDelegate(sharedAs<SHKTextMessage>());

    auto& item = *this->item();
    auto body = item.customValueForKey(bodyKey);
    if (!body) {
        body = bodyForItem(item);
        item.setCustomValueForKey(*body, bodyKey);
    }
    composer->setBody(*body);
    SHK::currentHelper().showViewController(composer);
    keepAlive();
    return true;
}

void SHKTextMessage::didFinishWithResult(msg::MessageComposeViewController&, msg::MessageComposeResult result)
{
    auto protect = protectedThis();
    switch (result) {
    case msg::MessageComposeResult::Cancelled:
        sendDidCancel();
        break;
    case msg::MessageComposeResult::Sent:
        sendDidFinish();
        break;
    case msg::MessageComposeResult::Failed:
        sendDidFailWithError(nullptr);
        break;
    }
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    stopKeepingAlive();
}
