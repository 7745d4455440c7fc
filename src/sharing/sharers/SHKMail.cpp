#include "sharing/sharers/SHKMail.h"

#include "platform/ui/NavigationBar.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKEscaping.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKMailComposeViewController.h"
#include "sharing/sharers/SHKURLText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr std::string_view paragraphBreak = "<br/><br/>";

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

}

std::string SHKMail::sharerTitle()
{
    return SHKLocalizedText("Email");
}

bool SHKMail::canShare()
{
    return msg::MailComposeViewController::canSendMail();
}

bool SHKMail::send()
{
    setQuiet(true);
    if (!validateItem())
        return false;
    return sendMail();
}

std::string SHKMail::bodyForItem(const SHKItem& item)
{
    std::optional<std::string> body;
    if (item.text())
        body = SHKEscapeMarkup(*item.text());
    auto append = [&body](const std::string& part) {
        body = body ? *body + std::string(paragraphBreak) + part : part;
    };
    if (item.URL())
        append(SHKEscapeMarkup(SHKURLTextWithoutEscapes(*item.URL())));
    if (item.data()) {
        auto name = item.title() ? item.title() : item.filename();
        append(SHKLocalizedText("Attached: %@", SHKEscapeMarkup(name.value_or(std::string()))));
    }
    auto text = body.value_or(std::string());
    if (configuration().sharedWithSignature())
        text += std::string(paragraphBreak) + SHKLocalizedText("Sent from %@", configuration().appName());
    return text;
}

double SHKMail::jpegQualityFromText(const std::optional<std::string>& text)
{
    constexpr double defaultQuality = 1.0;
    if (!text)
        return defaultQuality;
    double quality = 0;
    auto* end = text->data() + text->size();
    auto [rest, error] = std::from_chars(text->data(), end, quality);
    if (error != std::errc() || rest != end || !std::isfinite(quality))
        return defaultQuality;
    return std::clamp(quality, 0.0, 1.0);
}

bool SHKMail::sendMail()
{
    auto composer = SHKMailComposeViewController::create();
    if (!composer) {
        SHK::currentHelper().hideCurrentViewControllerAnimated(true);
        // Reported, so that whoever waits for the outcome (an offline replay) is not left waiting.
        sendDidFailWithError(nullptr);
        return true;
    }

    keepAlive();
    composer->setMailComposeDelegate(sharedAs<SHKMail>());
    composer->navigationBar()->setTintColor(configuration().barTintForView(composer));

    auto& item = *this->item();
    auto body = item.customValueForKey(bodyKey);
    if (!body) {
        body = bodyForItem(item);
        item.setCustomValueForKey(*body, bodyKey);
    }

    if (auto& data = item.data())
        composer->addAttachmentData(data, item.mimeType().value_or("application/octet-stream"), item.filename().value_or("Attachment"));
    if (auto& image = item.image()) {
        if (auto jpeg = image->jpegRepresentation(jpegQualityFromText(item.customValueForKey(jpgQualityKey))))
            composer->addAttachmentData(jpeg, std::string(imageAttachmentType), std::string(imageAttachmentName));
    }

    composer->setSubject(item.title().value_or(std::string()));
    composer->setMessageBody(*body, true);
    SHK::currentHelper().showViewController(composer);
    return true;
}

void SHKMail::didFinishWithResult(msg::MailComposeViewController&, msg::MailComposeResult result, const fnd::Ref<fnd::Error>&)
{
    auto protect = protectedThis();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    switch (result) {
    case msg::MailComposeResult::Cancelled:
        sendDidCancel();
        break;
    case msg::MailComposeResult::Saved:
    case msg::MailComposeResult::Sent:
        sendDidFinish();
        break;
    case msg::MailComposeResult::Failed:
        sendDidFailWithError(nullptr);
        break;
    }
    stopKeepingAlive();
}
