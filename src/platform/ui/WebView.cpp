#include "platform/ui/WebView.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/URLError.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/WebPage.h"
#include "platform/ui/WebViewLoader.h"

namespace ui {

namespace {

fnd::Ref<fnd::Error> webKitError(int64_t code, std::string description, const fnd::Ref<fnd::URL>& url)
{
    auto userInfo = fnd::MutableDictionary::create();
    userInfo->setObjectForKey(fnd::String::create(description), fnd::Error::localizedDescriptionKey);
    if (url)
        userInfo->setObjectForKey(fnd::String::create(url->absoluteString()), fnd::URLError::failingURLStringKey);
    return fnd::Error::create(std::string(WebView::webKitErrorDomain), code, userInfo);
}

// A connection lets go of itself when it ends; dropping the view's hold inside one of its own
// callbacks must not be the last word, so the hold goes on the next turn.
void retire(std::shared_ptr<fnd::URLConnection> connection, bool cancel)
{
    if (!connection)
        return;
    fnd::RunLoop::main().post([connection = std::move(connection), cancel] {
        if (cancel)
            connection->cancel();
    });
}

}

WebViewDelegate::~WebViewDelegate() = default;

std::shared_ptr<WebView> WebView::create(const gfx::Rect& frame)
{
    return std::make_shared<WebView>(frame);
}

WebView::WebView(const gfx::Rect& frame)
    : View(frame)
{
    setBackgroundColor(gfx::Color::white());
    setClipsToBounds(true);
}

WebView::~WebView()
{
    if (m_connection)
        m_connection->cancel();
}

void WebView::loadRequest(const fnd::URLRequest& request)
{
    load(request, WebViewNavigationType::Other);
}

void WebView::reload()
{
    if (m_request.url())
        load(m_request, WebViewNavigationType::Reload);
}

void WebView::goBack()
{
    if (!canGoBack())
        return;
    auto previous = m_history[m_history.size() - 2];
    m_goingBack = true;
    load(previous, WebViewNavigationType::BackForward);
    m_goingBack = false;
}

void WebView::clickLink(std::string_view href)
{
    fnd::Ref<fnd::URL> base = m_page && m_page->url() ? m_page->url() : m_request.url();
    auto url = base ? fnd::URL::create(href, *base) : fnd::URL::create(href);
    if (!url)
        return;
    load(fnd::URLRequest(url), WebViewNavigationType::LinkClicked);
}

void WebView::loadHTMLString(std::string_view html, const fnd::Ref<fnd::URL>& baseURL)
{
    auto url = baseURL ? baseURL : fnd::URL::create("about:blank");
    fnd::URLRequest request(url);
    auto protect = sharedAs<WebView>();
    if (auto delegate = this->delegate(); delegate && !delegate->shouldStartLoadWithRequest(*this, request, WebViewNavigationType::Other))
        return;
    cancelRunningLoad();
    m_request = request;
    uint64_t load = ++m_loadNumber;
    m_localLoadPending = true;
    if (auto delegate = this->delegate())
        delegate->webViewDidStartLoad(*this);
    std::weak_ptr<WebView> weakThis = protect;
    fnd::RunLoop::main().post([weakThis, load, html = std::string(html), url] {
        if (auto view = weakThis.lock())
            view->finishLocalLoad(load, html, url);
    });
}

void WebView::load(const fnd::URLRequest& request, WebViewNavigationType type)
{
    auto protect = sharedAs<WebView>();
    if (auto delegate = this->delegate(); delegate && !delegate->shouldStartLoadWithRequest(*this, request, type))
        return;
    cancelRunningLoad();
    m_request = request;
    uint64_t load = ++m_loadNumber;
    if (auto delegate = this->delegate())
        delegate->webViewDidStartLoad(*this);
    if (load != m_loadNumber)
        return;

    auto url = request.url();
    std::weak_ptr<WebView> weakThis = protect;
    auto later = [weakThis, load](std::function<void(WebView&)> task) {
        fnd::RunLoop::main().post([weakThis, load, task = std::move(task)] {
            auto view = weakThis.lock();
            if (view && view->m_loadNumber == load)
                task(*view);
        });
    };
    std::string scheme = url ? url->scheme() : std::string();
    if (scheme == "http" || scheme == "https") {
        auto loader = std::make_shared<WebViewLoader>(protect, load);
        m_connection = fnd::URLConnection::create(request, loader);
        if (m_connection)
            return;
    }
    m_localLoadPending = true;
    if (scheme == "about") {
        later([url](WebView& view) { view.finishLocalLoad(view.m_loadNumber, {}, url); });
        return;
    }
    if (scheme == "file") {
        auto path = fnd::PercentEscaping::removingPercentEscapes(url->path()).value_or(url->path());
        auto data = fnd::FileManager::contentsOfFile(path);
        if (!data) {
            later([url](WebView& view) { view.fail(fnd::URLError::create(fnd::URLError::FileDoesNotExist, url.get())); });
            return;
        }
        later([url, html = std::string(data->asStringView())](WebView& view) { view.finishLocalLoad(view.m_loadNumber, html, url); });
        return;
    }
    later([url](WebView& view) { view.fail(webKitError(cannotShowURLError, "The URL can't be shown", url)); });
}

void WebView::cancelRunningLoad()
{
    if (!isLoading())
        return;
    auto failing = m_request.url();
    retire(std::move(m_connection), true);
    m_connection.reset();
    m_localLoadPending = false;
    ++m_loadNumber;
    if (auto delegate = this->delegate())
        delegate->didFailLoadWithError(*this, fnd::URLError::create(fnd::URLError::Cancelled, failing.get()));
}

void WebView::stopLoading()
{
    retire(std::move(m_connection), true);
    m_connection.reset();
    m_localLoadPending = false;
    ++m_loadNumber;
}

bool WebView::offerRedirect(uint64_t load, const fnd::URLRequest& request)
{
    if (load != m_loadNumber)
        return false;
    auto protect = sharedAs<WebView>();
    auto delegate = this->delegate();
    if (!delegate || delegate->shouldStartLoadWithRequest(*this, request, WebViewNavigationType::Other)) {
        m_request = request;
        return true;
    }
    // The refused hop ends the load; what the connection still reports is ignored.
    retire(std::move(m_connection), true);
    m_connection.reset();
    ++m_loadNumber;
    if (auto current = this->delegate())
        current->didFailLoadWithError(*this, webKitError(frameLoadInterruptedError, "Frame load interrupted", request.url()));
    return false;
}

void WebView::loaderRedirectedOutsideTheWeb(uint64_t load, const fnd::URLRequest& request)
{
    if (!offerRedirect(load, request))
        return;
    auto protect = sharedAs<WebView>();
    retire(std::move(m_connection), true);
    m_connection.reset();
    ++m_loadNumber;
    fail(webKitError(cannotShowURLError, "The URL can't be shown", request.url()));
}

void WebView::loaderFinished(uint64_t load, int statusCode, const std::string& body, const std::string& encoding)
{
    if (load != m_loadNumber)
        return;
    retire(std::move(m_connection), false);
    m_connection.reset();
    auto protect = sharedAs<WebView>();
    showPage(std::make_shared<WebPage>(body, m_request.url(), encoding), statusCode);
    if (auto delegate = this->delegate())
        delegate->webViewDidFinishLoad(*this);
}

void WebView::loaderFailed(uint64_t load, const fnd::Ref<fnd::Error>& error)
{
    if (load != m_loadNumber)
        return;
    retire(std::move(m_connection), false);
    m_connection.reset();
    fail(error);
}

void WebView::finishLocalLoad(uint64_t load, std::string html, fnd::Ref<fnd::URL> url)
{
    if (load != m_loadNumber)
        return;
    m_localLoadPending = false;
    auto protect = sharedAs<WebView>();
    showPage(std::make_shared<WebPage>(html, std::move(url)), 0);
    if (auto delegate = this->delegate())
        delegate->webViewDidFinishLoad(*this);
}

void WebView::fail(const fnd::Ref<fnd::Error>& error)
{
    m_localLoadPending = false;
    auto protect = sharedAs<WebView>();
    if (auto delegate = this->delegate())
        delegate->didFailLoadWithError(*this, error);
}

void WebView::showPage(std::shared_ptr<WebPage> page, int statusCode)
{
    m_page = std::move(page);
    m_shownPages.push_back({ m_page->url() ? m_page->url()->absoluteString() : std::string(), m_page->title(), statusCode });
    if (!m_goingBack)
        m_history.push_back(m_request);
    else if (!m_history.empty())
        m_history.pop_back();
    setNeedsDisplay();
}

std::string WebView::stringByEvaluatingJavaScriptFromString(std::string_view script) const
{
    return m_page ? m_page->evaluateScript(script) : std::string();
}

void WebView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    if (!m_page)
        return;
    auto area = bounds().insetBy(8, 8);
    double y = area.minY();
    auto title = m_page->title();
    if (!title.empty()) {
        auto font = gfx::Font::boldSystemFont(17);
        auto size = context.drawText(title, { area.minX(), y, area.width(), area.maxY() - y }, font, gfx::Color::black());
        y += size.height + 8;
    }
    auto text = m_page->text();
    if (y < area.maxY())
        context.drawText(text, { area.minX(), y, area.width(), area.maxY() - y }, gfx::Font::systemFont(14), gfx::Color::grey(0.2));
}

void WebView::collectPressTargets(PressTargets& targets)
{
    if (!m_page)
        return;
    std::weak_ptr<WebView> weakThis = sharedAs<WebView>();
    for (auto& link : m_page->links()) {
        if (link.text.empty())
            continue;
        PressTarget target;
        target.kind = PressTarget::Kind::Button;
        target.texts = { link.text };
        target.description = "link \"" + link.text + "\"";
        target.press = [weakThis, href = link.href] {
            if (auto view = weakThis.lock())
                view->clickLink(href);
        };
        targets.push_back(std::move(target));
    }
}

std::string WebView::treeAttributes() const
{
    std::string text = "url=\"" + (m_request.url() ? m_request.url()->absoluteString() : std::string()) + "\"";
    if (m_page)
        text += " title=\"" + m_page->title() + "\"";
    if (isLoading())
        text += " loading";
    return text;
}

}
