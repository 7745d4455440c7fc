#pragma once

#include "sharing/ui/SHKOAuthView.h"

// The check-in service's web login: the token comes back in the callback's fragment
// ("#access_token=..."), and the callback may be found anywhere in the address.
class SHKFoursquareV2OAuthView : public SHKOAuthView {
public:
    static std::shared_ptr<SHKFoursquareV2OAuthView> createWithURLDelegate(fnd::Ref<fnd::URL> authorizeURL, std::shared_ptr<SHKOAuthViewDelegate>);

    std::string_view className() const override { return "SHKFoursquareV2OAuthView"; }

    bool shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest&, ui::WebViewNavigationType) override;

    // Whether the address text holds the callback's (case counts). An empty callback is never
    // found: it would match every page, the login page first.
    static bool containsCallback(const fnd::URL* url, const fnd::URL& callback);
};
