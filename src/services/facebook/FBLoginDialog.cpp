#include "services/facebook/FBLoginDialog.h"

#include "platform/foundation/String.h"
#include "services/facebook/Facebook.h"

std::shared_ptr<FBLoginDialog> FBLoginDialog::create(std::string loginURL, fnd::Ref<fnd::MutableDictionary> loginParams, std::weak_ptr<FBLoginDialogDelegate> loginDelegate)
{
    auto dialog = std::make_shared<FBLoginDialog>();
    dialog->setUp(std::move(loginURL), std::move(loginParams));
    dialog->m_loginDelegate = std::move(loginDelegate);
    return dialog;
}

void FBLoginDialog::dialogDidSucceed(const fnd::Ref<fnd::URL>& url)
{
    if (isDismissed())
        return;
    auto protect = sharedAs<FBLoginDialog>();
    auto text = url ? url->absoluteString() : std::string();
    auto token = getStringFromUrl(text, "access_token=");
    fnd::Ref<fnd::Date> expirationDate;
    if (auto expiresIn = getStringFromUrl(text, "expires_in="))
        expirationDate = Facebook::expirationDateAfter(fnd::String(*expiresIn).longLongValue());

    if (!token || token->empty()) {
        dialogDidCancel(url);
        return;
    }
    if (auto delegate = m_loginDelegate.lock())
        delegate->fbDialogLogin(*token, expirationDate);
    dismissWithSuccess(true, true);
}

void FBLoginDialog::dialogDidCancel(const fnd::Ref<fnd::URL>&)
{
    if (isDismissed())
        return;
    auto protect = sharedAs<FBLoginDialog>();
    dismissWithSuccess(false, true);
    if (auto delegate = m_loginDelegate.lock())
        delegate->fbDialogNotLogin(true);
}

void FBLoginDialog::didFailLoadWithError(ui::WebView& webView, const fnd::Ref<fnd::Error>& error)
{
    if (!error || isIgnoredLoadError(*error) || isDismissed())
        return;
    auto protect = sharedAs<FBLoginDialog>();
    FBDialog::didFailLoadWithError(webView, error);
    if (auto delegate = m_loginDelegate.lock())
        delegate->fbDialogNotLogin(false);
}
