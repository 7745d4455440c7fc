#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/URLRequest.h"

namespace ui {

class WebView;

// Numbered as the platform numbered them.
enum class WebViewNavigationType {
    LinkClicked = 0,
    FormSubmitted = 1,
    BackForward = 2,
    Reload = 3,
    FormResubmitted = 4,
    Other = 5,
};

// What a web view asks and tells its delegate; every operation is optional. Every request the view
// is about to load is offered first, each redirect hop included (as Other).
class WebViewDelegate {
public:
    virtual ~WebViewDelegate();

    virtual bool shouldStartLoadWithRequest(WebView&, const fnd::URLRequest&, WebViewNavigationType) { return true; }
    virtual void webViewDidStartLoad(WebView&) { }
    virtual void webViewDidFinishLoad(WebView&) { }
    virtual void didFailLoadWithError(WebView&, const fnd::Ref<fnd::Error>&) { }
};

}
