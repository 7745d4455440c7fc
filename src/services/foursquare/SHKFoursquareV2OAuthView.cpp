#include "services/foursquare/SHKFoursquareV2OAuthView.h"

#include "platform/foundation/URLRequest.h"
#include "sharing/ui/SHKOAuthViewDelegate.h"

std::shared_ptr<SHKFoursquareV2OAuthView> SHKFoursquareV2OAuthView::createWithURLDelegate(fnd::Ref<fnd::URL> authorizeURL,
    std::shared_ptr<SHKOAuthViewDelegate> delegate)
{
    auto view = std::make_shared<SHKFoursquareV2OAuthView>();
    view->setUp(std::move(authorizeURL), std::move(delegate));
    return view;
}

bool SHKFoursquareV2OAuthView::containsCallback(const fnd::URL* url, const fnd::URL& callback)
{
    auto& needle = callback.absoluteString();
    if (needle.empty())
        return false;
    // A request without an address is taken for the callback.
    return !url || url->absoluteString().find(needle) != std::string::npos;
}

bool SHKFoursquareV2OAuthView::shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest& request, ui::WebViewNavigationType)
{
    auto callback = delegate() ? delegate()->authorizeCallbackURL() : nullptr;
    if (!callback || !containsCallback(request.url().get(), *callback))
        return true;
    auto fragment = request.url() ? request.url()->fragment() : std::nullopt;
    reportSuccess(fragment ? parametersOf(*fragment) : nullptr);
    return false;
}
