#include "sharing/ui/SHKOAuthView.h"

#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/WebPage.h"
#include "sharing/core/SHK.h"
#include "sharing/ui/SHKOAuthViewDelegate.h"

#include <algorithm>
#include <mutex>

namespace {

struct TwitterAPIHost {
    std::mutex lock;
    std::string host { "api.twitter.com" };
};

TwitterAPIHost& twitterAPIHostSetting()
{
    static auto* setting = new TwitterAPIHost; // read by sharers for the life of the process
    return *setting;
}

char asciiLower(char character)
{
    return (character >= 'A' && character <= 'Z') ? static_cast<char>(character - 'A' + 'a') : character;
}

bool equalIgnoringASCIICase(std::string_view first, std::string_view second)
{
    return first.size() == second.size()
        && std::equal(first.begin(), first.end(), second.begin(), [](char a, char b) { return asciiLower(a) == asciiLower(b); });
}

// Loads that replace one another, refused redirects and missing files are not failures of the login.
bool isIgnoredLoadError(const fnd::Error& error)
{
    auto code = error.code();
    return code == fnd::URLError::Cancelled || code == ui::WebView::frameLoadInterruptedError || code == fnd::URLError::FileDoesNotExist;
}

}

SHKOAuthViewDelegate::~SHKOAuthViewDelegate() = default;

std::shared_ptr<SHKOAuthView> SHKOAuthView::createWithURLDelegate(fnd::Ref<fnd::URL> authorizeURL, std::shared_ptr<SHKOAuthViewDelegate> delegate)
{
    auto view = std::make_shared<SHKOAuthView>();
    view->setUp(std::move(authorizeURL), std::move(delegate));
    return view;
}

std::string SHKOAuthView::twitterAPIHost()
{
    auto& setting = twitterAPIHostSetting();
    std::lock_guard guard(setting.lock);
    return setting.host;
}

void SHKOAuthView::setTwitterAPIHost(std::string host)
{
    auto& setting = twitterAPIHostSetting();
    std::lock_guard guard(setting.lock);
    setting.host = std::move(host);
}

SHKOAuthView::SHKOAuthView() = default;

SHKOAuthView::~SHKOAuthView()
{
    if (m_webView)
        m_webView->setDelegate(nullptr);
}

void SHKOAuthView::setUp(fnd::Ref<fnd::URL> authorizeURL, std::shared_ptr<SHKOAuthViewDelegate> delegate)
{
    navigationItem()->setLeftBarButtonItem(
        ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel, ui::Action::to(this, "cancel", &SHKOAuthView::cancel)),
        false);
    m_delegate = std::move(delegate);

    m_webView = ui::WebView::create();
    m_webView->setDelegate(std::shared_ptr<ui::WebViewDelegate>(sharedAs<SHKOAuthView>(), this));
    m_webView->setScalesPageToFit(true);
    m_webView->setDataDetectorTypes(0);
    setView(m_webView);
    m_webView->loadRequest(fnd::URLRequest(std::move(authorizeURL)));
}

void SHKOAuthView::cancel()
{
    auto protectedThis = sharedAs<SHKOAuthView>();
    if (auto delegate = m_delegate)
        delegate->tokenAuthorizeCancelledView(*this);
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
}

void SHKOAuthView::startSpinner()
{
    if (!m_spinner) {
        m_spinner = ui::ActivityIndicatorView::create(ui::ActivityIndicatorViewStyle::White);
        m_spinner->setHidesWhenStopped(true);
        navigationItem()->setRightBarButtonItem(ui::BarButtonItem::createWithCustomView(m_spinner), false);
    }
    m_spinner->startAnimating();
}

void SHKOAuthView::stopSpinner()
{
    if (m_spinner)
        m_spinner->stopAnimating();
}

bool SHKOAuthView::isCallbackURL(const fnd::URL& url, const fnd::URL& callback)
{
    std::string_view address = url.absoluteString();
    std::string_view callbackAddress = callback.absoluteString();
    if (callbackAddress.empty() || address.size() < callbackAddress.size())
        return false;
    if (!equalIgnoringASCIICase(address.substr(0, callbackAddress.size()), callbackAddress))
        return false;
    if (address.size() == callbackAddress.size())
        return true;
    // "http://cb.test/done" is not the callback "http://cb.test/do", nor "http://cb.test.example" "http://cb.test".
    constexpr std::string_view separators = "/?#&=";
    return separators.find(callbackAddress.back()) != std::string_view::npos
        || std::string_view("/?#").find(address[callbackAddress.size()]) != std::string_view::npos;
}

fnd::Ref<fnd::Dictionary> SHKOAuthView::queryParametersOf(const fnd::URL& url)
{
    auto query = url.query();
    if (!query)
        return nullptr;
    return parametersOf(*query);
}

fnd::Ref<fnd::Dictionary> SHKOAuthView::parametersOf(std::string_view text)
{
    auto parameters = fnd::MutableDictionary::create();
    std::string_view rest = text;
    while (true) {
        auto ampersand = rest.find('&');
        auto piece = rest.substr(0, ampersand);
        auto equals = piece.find('=');
        if (equals != std::string_view::npos && piece.find('=', equals + 1) == std::string_view::npos)
            parameters->setObjectForKey(fnd::String::create(piece.substr(equals + 1)), piece.substr(0, equals));
        if (ampersand == std::string_view::npos)
            break;
        rest.remove_prefix(ampersand + 1);
    }
    return parameters;
}

bool SHKOAuthView::shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest& request, ui::WebViewNavigationType)
{
    auto callback = m_delegate ? m_delegate->authorizeCallbackURL() : nullptr;
    if (!callback || !request.url() || !isCallbackURL(*request.url(), *callback))
        return true;

    reportSuccess(queryParametersOf(*request.url()));
    return false;
}

void SHKOAuthView::webViewDidStartLoad(ui::WebView&)
{
    startSpinner();
}

void SHKOAuthView::webViewDidFinishLoad(ui::WebView&)
{
    stopSpinner();
    if (isShowingPINPage())
        reportFailure(SHK::error("%@", pinPageErrorText));
}

void SHKOAuthView::didFailLoadWithError(ui::WebView&, const fnd::Ref<fnd::Error>& error)
{
    if (error && isIgnoredLoadError(*error))
        return;
    stopSpinner();
    reportFailure(error);
}

void SHKOAuthView::viewDidDisappear(bool animated)
{
    ui::ViewController::viewDidDisappear(animated);
    SHK::currentHelper().viewWasDismissed();
}

void SHKOAuthView::reportSuccess(const fnd::Ref<fnd::Dictionary>& queryParams)
{
    auto protectedThis = sharedAs<SHKOAuthView>();
    auto delegate = std::exchange(m_delegate, nullptr);
    if (delegate)
        delegate->tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(*this, true, queryParams, nullptr);
}

void SHKOAuthView::reportFailure(const fnd::Ref<fnd::Error>& error)
{
    auto protectedThis = sharedAs<SHKOAuthView>();
    if (auto delegate = m_delegate)
        delegate->tokenAuthorizeViewDidFinishWithSuccessQueryParamsError(*this, false, nullptr, error);
}

bool SHKOAuthView::isShowingPINPage() const
{
    auto& page = m_webView->page();
    auto url = page && page->url() ? page->url() : m_webView->request().url();
    if (!url || !equalIgnoringASCIICase(url->host(), twitterAPIHost()))
        return false;
    return !m_webView->stringByEvaluatingJavaScriptFromString(pinPageScript).empty();
}
