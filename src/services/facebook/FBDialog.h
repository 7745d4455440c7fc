#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/ObserverToken.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"
#include "platform/ui/WebView.h"
#include "services/facebook/FBDialogDelegate.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// One of Facebook's mobile dialog pages shown in a floating panel over the whole window: a web
// view, a close button and a spinner. The page ends the dialog by sending the browser to the
// "fbconnect" scheme: "fbconnect://cancel..." cancels (or fails, with "error_code="), any other
// "fbconnect" address succeeds. The outcome is reported once, then the panel fades away.
class FBDialog : public ui::View, public ui::WebViewDelegate {
public:
    static constexpr double padScale = 0.6;
    static constexpr gfx::Rect closeButtonFrame { 2, 2, 29, 29 };
    static constexpr std::string_view closeImageName = "FBDialog.bundle/images/close.png";
    static constexpr std::string_view landscapeScript = "document.body.setAttribute('orientation', 90);";
    static constexpr std::string_view portraitScript = "document.body.removeAttribute('orientation');";

    static std::shared_ptr<FBDialog> create(std::string serverURL, fnd::Ref<fnd::MutableDictionary> params, std::weak_ptr<FBDialogDelegate>);
    FBDialog();
    ~FBDialog() override;

    std::string_view className() const override { return "FBDialog"; }

    // Answers "server?name=value&..." with the values escaped; the address alone without parameters.
    static std::string generateURL(std::string_view baseURL, const fnd::Ref<fnd::Dictionary>& params);
    // The text after the needle up to the next "&", percent-decoded; nothing without the needle.
    static std::optional<std::string> getStringFromUrl(std::string_view url, std::string_view needle);
    // The panel's frame in the application frame for the orientation, before any rotation.
    static gfx::Rect frameForOrientation(const gfx::Rect& applicationFrame, ui::InterfaceOrientation, bool isPad);
    static gfx::AffineTransform transformForOrientation(ui::InterfaceOrientation);

    void show();
    void load();
    void loadURL(std::string_view url);
    void dismissWithSuccess(bool success, bool animated);
    void dismissWithError(const fnd::Ref<fnd::Error>&, bool animated);
    virtual void dialogDidSucceed(const fnd::Ref<fnd::URL>&);
    virtual void dialogDidCancel(const fnd::Ref<fnd::URL>&);
    // The close button.
    void cancel();

    std::shared_ptr<FBDialogDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<FBDialogDelegate> delegate) { m_delegate = std::move(delegate); }
    const fnd::Ref<fnd::MutableDictionary>& params() const { return m_params; }
    const std::string& serverURL() const { return m_serverURL; }
    const fnd::Ref<fnd::URL>& loadingURL() const { return m_loadingURL; }
    const std::shared_ptr<ui::WebView>& webView() const { return m_webView; }
    const std::shared_ptr<ui::Button>& closeButton() const { return m_closeButton; }
    const std::shared_ptr<ui::ActivityIndicatorView>& spinner() const { return m_spinner; }
    const std::shared_ptr<ui::View>& modalBackground() const { return m_modalBackground; }
    // Set once the outcome has been reported.
    bool isDismissed() const { return m_dismissed; }
    bool isShowingKeyboard() const { return m_showingKeyboard; }

    bool shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest&, ui::WebViewNavigationType) override;
    void webViewDidFinishLoad(ui::WebView&) override;
    void didFailLoadWithError(ui::WebView&, const fnd::Ref<fnd::Error>&) override;

    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;

protected:
    void setUp(std::string serverURL, fnd::Ref<fnd::MutableDictionary> params);
    virtual void dialogWillAppear() { }
    virtual void dialogWillDisappear() { }
    // The errors a page reports when one load replaces another or a redirect was refused.
    static bool isIgnoredLoadError(const fnd::Error&);
    // Marks the outcome as reported; false when it was reported before.
    bool beginDismissal();

private:
    void dismiss(bool animated);
    void postDismissCleanup();
    void sizeToFitOrientation(bool transform);
    void updateWebOrientation();
    void deviceOrientationDidChange();
    void keyboardWillShow();
    void keyboardWillHide();
    bool shouldRotateToOrientation(ui::InterfaceOrientation) const;
    void bounce();
    void addObservers();
    void removeObservers();

    std::weak_ptr<FBDialogDelegate> m_delegate;
    fnd::Ref<fnd::MutableDictionary> m_params;
    std::string m_serverURL;
    fnd::Ref<fnd::URL> m_loadingURL;
    std::shared_ptr<ui::WebView> m_webView;
    std::shared_ptr<ui::ActivityIndicatorView> m_spinner;
    std::shared_ptr<ui::Button> m_closeButton;
    std::shared_ptr<ui::View> m_modalBackground;
    ui::InterfaceOrientation m_orientation = ui::InterfaceOrientation::Portrait;
    bool m_showingKeyboard = false;
    bool m_dismissed = false;
    fnd::ObserverToken m_orientationObserver;
    fnd::ObserverToken m_keyboardShowObserver;
    fnd::ObserverToken m_keyboardHideObserver;
};
