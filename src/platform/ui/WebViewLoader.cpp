#include "platform/ui/WebViewLoader.h"

#include "platform/foundation/URLConnection.h"
#include "platform/ui/WebView.h"

namespace ui {

WebViewLoader::WebViewLoader(const std::shared_ptr<WebView>& view, uint64_t load)
    : m_view(view)
    , m_load(load)
{
}

std::optional<fnd::URLRequest> WebViewLoader::willSendRequest(fnd::URLConnection& connection, const fnd::URLRequest& proposed,
    const fnd::Ref<fnd::HTTPURLResponse>&)
{
    auto view = m_view.lock();
    if (!view) {
        connection.cancel();
        return std::nullopt;
    }
    if (view->offerRedirect(m_load, proposed))
        return proposed;
    return std::nullopt;
}

// A redirect to another scheme (an application's own address) is not followed by the connection,
// but a browser still offers it to its delegate.
static fnd::Ref<fnd::URL> redirectOutsideTheWeb(const fnd::HTTPURLResponse& response)
{
    int status = response.statusCode();
    auto location = response.valueForHTTPHeaderField("Location");
    if (status < 300 || status >= 400 || !location || !response.url())
        return nullptr;
    auto target = fnd::URL::create(*location, *response.url());
    if (!target || target->scheme() == "http" || target->scheme() == "https")
        return nullptr;
    return target;
}

void WebViewLoader::didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>& response)
{
    if (!response)
        return;
    if (auto target = redirectOutsideTheWeb(*response)) {
        if (auto view = m_view.lock())
            view->loaderRedirectedOutsideTheWeb(m_load, fnd::URLRequest(target));
    }
    m_statusCode = response->statusCode();
    m_encoding = response->textEncodingName().value_or("");
    m_body.clear();
}

void WebViewLoader::didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>& data)
{
    if (data)
        m_body.append(reinterpret_cast<const char*>(data->bytes()), data->length());
}

void WebViewLoader::didFinishLoading(fnd::URLConnection&)
{
    if (auto view = m_view.lock())
        view->loaderFinished(m_load, m_statusCode, m_body, m_encoding);
}

void WebViewLoader::didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>& error)
{
    if (auto view = m_view.lock())
        view->loaderFailed(m_load, error);
}

}
