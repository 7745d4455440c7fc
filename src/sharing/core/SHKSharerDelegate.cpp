#include "sharing/core/SHKSharerDelegate.h"

#include "platform/ui/AlertView.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKActivityIndicator.h"

SHKSharerDelegate::~SHKSharerDelegate() = default;

void SHKSharerDelegate::sharerStartedSending(SHKSharer& sharer)
{
    if (!sharer.quiet())
        SHKActivityIndicator::currentIndicator().displayActivity(SHKLocalizedText("Saving to %@", sharer.sharerClass().sharerTitle()));
}

void SHKSharerDelegate::sharerFinishedSending(SHKSharer& sharer)
{
    if (!sharer.quiet())
        SHKActivityIndicator::currentIndicator().displayCompleted(SHKLocalizedText("Saved!"));
}

void SHKSharerDelegate::sharerFailedWithErrorShouldRelogin(SHKSharer& sharer, const fnd::Ref<fnd::Error>&, bool shouldRelogin)
{
    SHKActivityIndicator::currentIndicator().hide();
    auto pending = sharer.pendingAction();
    if (!sharer.quiet() && pending != SHKSharer::PendingActionShare && pending != SHKSharer::PendingActionSend) {
        auto& error = sharer.lastError();
        auto message = error ? error->localizedDescription() : SHKLocalizedText("There was an error while sharing");
        ui::AlertView::create(SHKLocalizedText("Error"), message, nullptr, SHKLocalizedText("Close"))->show();
    }
    if (shouldRelogin)
        sharer.promptAuthorization();
}

void SHKSharerDelegate::sharerCancelledSending(SHKSharer&)
{
}

void SHKSharerDelegate::sharerAuthDidFinishSuccess(SHKSharer&, bool)
{
}
