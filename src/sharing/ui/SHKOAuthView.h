#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/URL.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"
#include "platform/ui/WebViewDelegate.h"

#include <memory>
#include <string>
#include <string_view>

namespace ui {
class ActivityIndicatorView;
}

class SHKOAuthViewDelegate;

// The screen on which the user authorises the application at a service: a web view that loads the
// authorisation page at once and watches every page request (each redirect hop included) for the
// delegate's callback address. The callback is not loaded: its query parameters go to the delegate
// as a success, once, and the delegate is let go. Pages that fail to load report their error (a
// load replaced by another, an interrupted frame and a missing file excepted) and keep the
// delegate, so a later callback can still succeed. A page from the micro-blog service's API host
// that shows a PIN means the service has no callback set up, and is reported as a failure.
class SHKOAuthView : public ui::ViewController, public ui::WebViewDelegate {
public:
    static constexpr std::string_view pinPageScript = "document.getElementById('oauth_pin').innerHTML";
    static constexpr std::string_view pinPageErrorText = "Your SHKTwitter config is incorrect.  You must set your application type to Browser and "
                                                         "define a callback url.  See SHKConfig for more details";

    // The delegate is held until the success has been reported.
    static std::shared_ptr<SHKOAuthView> createWithURLDelegate(fnd::Ref<fnd::URL> authorizeURL, std::shared_ptr<SHKOAuthViewDelegate>);

    // The micro-blog service's API host ("api.twitter.com"); its sharer and tests point it elsewhere.
    static std::string twitterAPIHost();
    static void setTwitterAPIHost(std::string host);

    SHKOAuthView();
    ~SHKOAuthView() override;

    std::string_view className() const override { return "SHKOAuthView"; }

    const std::shared_ptr<ui::WebView>& webView() const { return m_webView; }
    const std::shared_ptr<SHKOAuthViewDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<SHKOAuthViewDelegate> delegate) { m_delegate = std::move(delegate); }
    // Nil until a page first starts loading.
    const std::shared_ptr<ui::ActivityIndicatorView>& spinner() const { return m_spinner; }

    // The Cancel button.
    void cancel();
    void startSpinner();
    void stopSpinner();

    // Subclasses that find the callback's parameters elsewhere (a fragment) override this.
    bool shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest&, ui::WebViewNavigationType) override;
    void webViewDidStartLoad(ui::WebView&) override;
    void webViewDidFinishLoad(ui::WebView&) override;
    void didFailLoadWithError(ui::WebView&, const fnd::Ref<fnd::Error>&) override;

    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) const override { return true; }

    // Whether the address is the callback: it begins with the callback address, compared without
    // regard to case, and the callback address is not merely the start of a longer name or path.
    static bool isCallbackURL(const fnd::URL&, const fnd::URL& callback);
    // The pairs "name=value" of the query, neither part decoded; pieces without exactly one "="
    // are left out and a later name wins. Nil without a query.
    static fnd::Ref<fnd::Dictionary> queryParametersOf(const fnd::URL&);
    // The same pairs from any "&"-separated text (a fragment, say).
    static fnd::Ref<fnd::Dictionary> parametersOf(std::string_view);

protected:
    // For subclasses' factories: the Cancel button, the web view and the first load.
    void setUp(fnd::Ref<fnd::URL> authorizeURL, std::shared_ptr<SHKOAuthViewDelegate>);
    void reportSuccess(const fnd::Ref<fnd::Dictionary>& queryParams);
    void reportFailure(const fnd::Ref<fnd::Error>&);

private:
    bool isShowingPINPage() const;

    std::shared_ptr<ui::WebView> m_webView;
    std::shared_ptr<SHKOAuthViewDelegate> m_delegate;
    std::shared_ptr<ui::ActivityIndicatorView> m_spinner;
};
