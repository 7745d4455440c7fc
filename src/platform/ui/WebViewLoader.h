#pragma once

#include "platform/foundation/URLConnectionDelegate.h"

#include <memory>
#include <string>

namespace ui {

class WebView;

// Carries one load of a web view over a URL connection: offers each redirect to the view and hands
// the finished body (or the failure) back. It does not keep the view alive.
class WebViewLoader : public fnd::URLConnectionDelegate {
public:
    WebViewLoader(const std::shared_ptr<WebView>&, uint64_t load);

    std::optional<fnd::URLRequest> willSendRequest(fnd::URLConnection&, const fnd::URLRequest& proposed, const fnd::Ref<fnd::HTTPURLResponse>&) override;
    void didReceiveResponse(fnd::URLConnection&, const fnd::Ref<fnd::HTTPURLResponse>&) override;
    void didReceiveData(fnd::URLConnection&, const fnd::Ref<fnd::Data>&) override;
    void didFinishLoading(fnd::URLConnection&) override;
    void didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>&) override;

private:
    std::weak_ptr<WebView> m_view;
    uint64_t m_load;
    int m_statusCode = 0;
    std::string m_encoding;
    std::string m_body;
};

}
