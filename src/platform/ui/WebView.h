#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/URLRequest.h"
#include "platform/ui/View.h"
#include "platform/ui/WebViewDelegate.h"

#include <memory>
#include <string>
#include <vector>

namespace fnd {
class URLConnection;
}

namespace ui {

class WebPage;
class WebViewLoader;

// A browser frame, headless: it loads pages through the foundation's URL loading and shows their
// text. Every request it is about to load (each redirect hop included) is offered to the delegate
// first; a refused redirect ends the load with the frame-load-interrupted error (WebKitErrorDomain
// 102), a new load replaces a running one (which fails with the cancelled URL error, -999), a
// missing file fails with -1100 and a scheme it cannot show with WebKitErrorDomain 101. Pages are
// parsed with libxml2's HTML parser, which answers a small set of scripts, and every page shown is
// recorded. Its links are pressed by their texts.
class WebView : public View {
public:
    static constexpr std::string_view webKitErrorDomain = "WebKitErrorDomain";
    static constexpr int64_t cannotShowURLError = 101;
    static constexpr int64_t frameLoadInterruptedError = 102;

    struct ShownPage {
        std::string url;
        std::string title;
        int statusCode = 0;
    };

    static std::shared_ptr<WebView> create(const gfx::Rect& frame = {});
    explicit WebView(const gfx::Rect& frame = {});
    ~WebView() override;

    std::string_view className() const override { return "WebView"; }

    // Not retained.
    std::shared_ptr<WebViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<WebViewDelegate>& delegate) { m_delegate = delegate; }

    void loadRequest(const fnd::URLRequest&);
    void loadHTMLString(std::string_view html, const fnd::Ref<fnd::URL>& baseURL);
    // A link the user follows: offered as a tapped link, resolved against the page shown.
    void clickLink(std::string_view href);
    void stopLoading();
    void reload();
    bool canGoBack() const { return m_history.size() > 1; }
    void goBack();

    bool isLoading() const { return static_cast<bool>(m_connection) || m_localLoadPending; }
    // The request being loaded, or the last one loaded.
    const fnd::URLRequest& request() const { return m_request; }

    // The answer of the page shown to a script, "" without a page.
    std::string stringByEvaluatingJavaScriptFromString(std::string_view script) const;
    const std::shared_ptr<WebPage>& page() const { return m_page; }
    const std::vector<ShownPage>& shownPages() const { return m_shownPages; }

    bool scalesPageToFit() const { return m_scalesPageToFit; }
    void setScalesPageToFit(bool scales) { m_scalesPageToFit = scales; }
    unsigned dataDetectorTypes() const { return m_dataDetectorTypes; }
    void setDataDetectorTypes(unsigned types) { m_dataDetectorTypes = types; }

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

    // For the loader.
    bool offerRedirect(uint64_t load, const fnd::URLRequest&);
    void loaderFinished(uint64_t load, int statusCode, const std::string& body, const std::string& encoding);
    void loaderFailed(uint64_t load, const fnd::Ref<fnd::Error>&);
    // A redirect to a scheme the view cannot show: offered to the delegate, and when it lets the
    // view go on, the load fails as it would for any address of that scheme.
    void loaderRedirectedOutsideTheWeb(uint64_t load, const fnd::URLRequest&);

private:
    void load(const fnd::URLRequest&, WebViewNavigationType);
    void cancelRunningLoad();
    void finishLocalLoad(uint64_t load, std::string html, fnd::Ref<fnd::URL>);
    void showPage(std::shared_ptr<WebPage>, int statusCode);
    void fail(const fnd::Ref<fnd::Error>&);

    std::weak_ptr<WebViewDelegate> m_delegate;
    fnd::URLRequest m_request;
    std::shared_ptr<fnd::URLConnection> m_connection;
    bool m_localLoadPending = false;
    uint64_t m_loadNumber = 0;
    std::shared_ptr<WebPage> m_page;
    std::vector<ShownPage> m_shownPages;
    std::vector<fnd::URLRequest> m_history;
    bool m_goingBack = false;
    bool m_scalesPageToFit = false;
    unsigned m_dataDetectorTypes = 0;
};

}
