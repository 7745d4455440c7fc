#include "services/facebook/FBDialog.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PercentEscaping.h"
#include "platform/foundation/String.h"
#include "platform/foundation/URLError.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/Device.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "services/facebook/FBRequest.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double appearScale = 0.001;
constexpr double bounceOvershoot = 1.1;
constexpr double bounceUndershoot = 0.9;
constexpr double bounceFirstDuration = 0.2;
constexpr double bounceStepDuration = 0.15;
constexpr double fadeOutDuration = 0.3;
constexpr double webViewMargin = 11;
constexpr double keyboardGrowth = 10;
constexpr gfx::Color panelColor { 0.3, 0.3, 0.3, 0.8 };
constexpr gfx::Color borderColor { 0.3, 0.3, 0.3, 1 };

bool isLandscape(ui::InterfaceOrientation orientation)
{
    return orientation == ui::InterfaceOrientation::LandscapeLeft || orientation == ui::InterfaceOrientation::LandscapeRight;
}

bool deviceIsPad()
{
    return ui::Device::current().userInterfaceIdiom() == ui::UserInterfaceIdiom::Pad;
}

std::shared_ptr<ui::Window> presentingWindow()
{
    auto& application = ui::Application::shared();
    if (auto key = application.keyWindow())
        return key;
    auto windows = application.windows();
    return windows.empty() ? nullptr : windows.front();
}

}

std::shared_ptr<FBDialog> FBDialog::create(std::string serverURL, fnd::Ref<fnd::MutableDictionary> params, std::weak_ptr<FBDialogDelegate> delegate)
{
    auto dialog = std::make_shared<FBDialog>();
    dialog->setUp(std::move(serverURL), std::move(params));
    dialog->setDelegate(std::move(delegate));
    return dialog;
}

FBDialog::FBDialog()
{
    setBackgroundColor(gfx::Color::clear());
    setAutoresizesSubviews(true);
    setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);

    m_closeButton = ui::Button::create(ui::ButtonType::Custom);
    m_closeButton->setImage(ui::BundleImages::imageNamed(closeImageName));
    m_closeButton->setTitleColor({ 167.0 / 255, 184.0 / 255, 216.0 / 255, 1 });
    m_closeButton->setTitleColor(gfx::Color::white(), ui::ControlState::Highlighted);
    m_closeButton->setAutoresizingMask(ui::Autoresizing::FlexibleRightMargin | ui::Autoresizing::FlexibleBottomMargin);
    addSubview(m_closeButton);

    m_webView = ui::WebView::create({ webViewMargin, webViewMargin, 480, 480 });
    m_webView->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    addSubview(m_webView);

    m_spinner = ui::ActivityIndicatorView::create(ui::ActivityIndicatorViewStyle::WhiteLarge);
    m_spinner->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin
        | ui::Autoresizing::FlexibleTopMargin | ui::Autoresizing::FlexibleBottomMargin);
    addSubview(m_spinner);

    m_modalBackground = ui::View::create();
}

FBDialog::~FBDialog()
{
    m_webView->setDelegate(nullptr);
}

void FBDialog::setUp(std::string serverURL, fnd::Ref<fnd::MutableDictionary> params)
{
    m_serverURL = std::move(serverURL);
    m_params = std::move(params);
    m_webView->setDelegate(sharedAs<FBDialog>());
    m_closeButton->addTargetActionForControlEvents(ui::Action::to(sharedAs<FBDialog>(), "cancel", &FBDialog::cancel), ui::ControlEvent::TouchUpInside);
}

std::string FBDialog::generateURL(std::string_view baseURL, const fnd::Ref<fnd::Dictionary>& params)
{
    if (!params || params->isEmpty())
        return std::string(baseURL);
    std::string query;
    params->forEachEntry([&](const fnd::Id& key, const fnd::Id& value, bool&) {
        if (!query.empty())
            query += '&';
        query += fnd::descriptionOf(key) + "=" + FBRequest::escapeValue(fnd::descriptionOf(value));
    });
    return std::string(baseURL) + "?" + query;
}

std::optional<std::string> FBDialog::getStringFromUrl(std::string_view url, std::string_view needle)
{
    auto start = url.find(needle);
    if (start == std::string_view::npos)
        return std::nullopt;
    start += needle.size();
    auto end = url.find('&', start);
    auto value = url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    return fnd::PercentEscaping::removingPercentEscapes(value).value_or(std::string(value));
}

gfx::Rect FBDialog::frameForOrientation(const gfx::Rect& applicationFrame, ui::InterfaceOrientation orientation, bool isPad)
{
    double scale = isPad ? padScale : 1.0;
    double width = std::floor(scale * applicationFrame.width());
    double height = std::floor(scale * applicationFrame.height());
    if (isLandscape(orientation))
        std::swap(width, height);
    double centerX = applicationFrame.minX() + std::ceil(applicationFrame.width() / 2);
    double centerY = applicationFrame.minY() + std::ceil(applicationFrame.height() / 2);
    return { centerX - width / 2, centerY - height / 2, width, height };
}

gfx::AffineTransform FBDialog::transformForOrientation(ui::InterfaceOrientation orientation)
{
    switch (orientation) {
    case ui::InterfaceOrientation::PortraitUpsideDown:
        return gfx::AffineTransform::makeRotation(-std::numbers::pi);
    case ui::InterfaceOrientation::LandscapeRight:
    case ui::InterfaceOrientation::LandscapeLeft:
        return gfx::AffineTransform::makeRotation(std::numbers::pi * 1.5);
    default:
        return gfx::AffineTransform::identity();
    }
}

void FBDialog::load()
{
    loadURL(m_serverURL);
}

void FBDialog::loadURL(std::string_view url)
{
    m_loadingURL = fnd::URL::create(generateURL(url, m_params));
    m_webView->loadRequest(fnd::URLRequest(m_loadingURL));
}

void FBDialog::show()
{
    auto protect = sharedAs<FBDialog>();
    load();
    sizeToFitOrientation(false);

    m_closeButton->setFrame(closeButtonFrame);
    auto size = bounds().size;
    m_webView->setFrame({ webViewMargin, webViewMargin, size.width - 2 * webViewMargin, size.height - (2 * webViewMargin - 1) });
    m_spinner->sizeToFit();
    m_spinner->startAnimating();
    m_spinner->setCenter(m_webView->center());

    if (auto window = presentingWindow()) {
        m_modalBackground->setFrame(window->frame());
        window->addSubview(m_modalBackground);
        window->addSubview(protect);
    }

    dialogWillAppear();
    bounce();
    addObservers();
}

void FBDialog::bounce()
{
    auto rotation = transformForOrientation(m_orientation);
    setTransform(rotation.scaledBy(appearScale, appearScale));
    auto protect = sharedAs<FBDialog>();
    auto step = [protect, rotation](double duration, double scale, std::function<void()> next) {
        ui::View::beginAnimations("FBDialogBounce");
        ui::View::setAnimationDuration(duration);
        if (next)
            ui::View::setAnimationDidStop(std::move(next));
        protect->setTransform(rotation.scaledBy(scale, scale));
        ui::View::commitAnimations();
    };
    step(bounceFirstDuration, bounceOvershoot, [step] {
        step(bounceStepDuration, bounceUndershoot, [step] { step(bounceStepDuration, 1, nullptr); });
    });
}

bool FBDialog::beginDismissal()
{
    if (m_dismissed)
        return false;
    m_dismissed = true;
    return true;
}

void FBDialog::dismissWithSuccess(bool success, bool animated)
{
    auto protect = sharedAs<FBDialog>();
    if (!beginDismissal())
        return;
    if (auto delegate = this->delegate()) {
        if (success)
            delegate->dialogDidComplete(*this);
        else
            delegate->dialogDidNotComplete(*this);
    }
    dismiss(animated);
}

void FBDialog::dismissWithError(const fnd::Ref<fnd::Error>& error, bool animated)
{
    auto protect = sharedAs<FBDialog>();
    if (!beginDismissal())
        return;
    if (auto delegate = this->delegate())
        delegate->dialogDidFailWithError(*this, error);
    dismiss(animated);
}

void FBDialog::dialogDidSucceed(const fnd::Ref<fnd::URL>& url)
{
    if (m_dismissed)
        return;
    if (auto delegate = this->delegate())
        delegate->dialogCompleteWithUrl(url);
    dismissWithSuccess(true, true);
}

void FBDialog::dialogDidCancel(const fnd::Ref<fnd::URL>& url)
{
    if (m_dismissed)
        return;
    if (auto delegate = this->delegate())
        delegate->dialogDidNotCompleteWithUrl(url);
    dismissWithSuccess(false, true);
}

void FBDialog::cancel()
{
    dialogDidCancel(nullptr);
}

void FBDialog::dismiss(bool animated)
{
    dialogWillDisappear();
    m_loadingURL = nullptr;
    if (!animated) {
        postDismissCleanup();
        return;
    }
    auto protect = sharedAs<FBDialog>();
    ui::View::beginAnimations("FBDialogFadeOut");
    ui::View::setAnimationDuration(fadeOutDuration);
    ui::View::setAnimationDidStop([protect] { protect->postDismissCleanup(); });
    setAlpha(0);
    ui::View::commitAnimations();
}

void FBDialog::postDismissCleanup()
{
    auto protect = sharedAs<FBDialog>();
    removeObservers();
    removeFromSuperview();
    m_modalBackground->removeFromSuperview();
}

bool FBDialog::isIgnoredLoadError(const fnd::Error& error)
{
    return (error.domain() == fnd::URLError::domain && error.code() == fnd::URLError::Cancelled)
        || (error.domain() == ui::WebView::webKitErrorDomain && error.code() == ui::WebView::frameLoadInterruptedError);
}

bool FBDialog::shouldStartLoadWithRequest(ui::WebView&, const fnd::URLRequest& request, ui::WebViewNavigationType navigationType)
{
    auto protect = sharedAs<FBDialog>();
    auto& url = request.url();
    if (!url)
        return false;
    if (url->scheme() == "fbconnect") {
        auto& text = url->absoluteString();
        if (!url->resourceSpecifier().starts_with("//cancel")) {
            dialogDidSucceed(url);
        } else if (auto code = getStringFromUrl(text, "error_code=")) {
            auto userInfo = fnd::MutableDictionary::create();
            if (auto message = getStringFromUrl(text, "error_msg="))
                userInfo->setObjectForKey(fnd::String::create(*message), "error_msg");
            dismissWithError(fnd::Error::create(std::string(FBRequest::errorDomain), fnd::String(*code).intValue(), userInfo), true);
        } else {
            dialogDidCancel(url);
        }
        return false;
    }
    if ((m_loadingURL && url->isEqual(*m_loadingURL)) || navigationType != ui::WebViewNavigationType::LinkClicked)
        return true;
    if (auto delegate = this->delegate(); delegate && !delegate->dialogShouldOpenURLInExternalBrowser(*this, url))
        return false;
    ui::Application::shared().openURL(*url);
    return false;
}

void FBDialog::webViewDidFinishLoad(ui::WebView&)
{
    m_spinner->stopAnimating();
    m_spinner->setHidden(true);
    updateWebOrientation();
}

void FBDialog::didFailLoadWithError(ui::WebView&, const fnd::Ref<fnd::Error>& error)
{
    if (!error || isIgnoredLoadError(*error))
        return;
    dismissWithError(error, true);
}

void FBDialog::sizeToFitOrientation(bool transform)
{
    if (transform)
        setTransform(gfx::AffineTransform::identity());
    m_orientation = ui::Application::shared().statusBarOrientation();
    auto frame = frameForOrientation(ui::Screen::mainScreen().applicationFrame(), m_orientation, deviceIsPad());
    setFrame({ 0, 0, frame.width(), frame.height() });
    setCenter({ frame.midX(), frame.midY() });
    if (transform)
        setTransform(transformForOrientation(m_orientation));
}

void FBDialog::updateWebOrientation()
{
    m_webView->stringByEvaluatingJavaScriptFromString(isLandscape(ui::Application::shared().statusBarOrientation()) ? landscapeScript : portraitScript);
}

bool FBDialog::shouldRotateToOrientation(ui::InterfaceOrientation orientation) const
{
    int value = static_cast<int>(orientation);
    return orientation != m_orientation && value >= 1 && value <= 4;
}

void FBDialog::deviceOrientationDidChange()
{
    auto orientation = ui::Application::shared().statusBarOrientation();
    if (m_showingKeyboard || !shouldRotateToOrientation(orientation))
        return;
    updateWebOrientation();
    ui::View::beginAnimations("FBDialogRotation");
    sizeToFitOrientation(true);
    ui::View::commitAnimations();
}

void FBDialog::keyboardWillShow()
{
    m_showingKeyboard = true;
    if (!deviceIsPad() && isLandscape(m_orientation))
        m_webView->setFrame(m_webView->frame().insetBy(-keyboardGrowth, -keyboardGrowth));
}

void FBDialog::keyboardWillHide()
{
    m_showingKeyboard = false;
    if (!deviceIsPad() && isLandscape(m_orientation))
        m_webView->setFrame(m_webView->frame().insetBy(keyboardGrowth, keyboardGrowth));
}

void FBDialog::addObservers()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    std::weak_ptr<FBDialog> weakThis = sharedAs<FBDialog>();
    auto forward = [weakThis](void (FBDialog::*handler)()) {
        return [weakThis, handler](const fnd::Notification&) {
            if (auto dialog = weakThis.lock())
                (dialog.get()->*handler)();
        };
    };
    m_orientationObserver = center.addObserver(std::string(ui::Device::orientationDidChangeNotification), nullptr, forward(&FBDialog::deviceOrientationDidChange));
    m_keyboardShowObserver = center.addObserver(std::string(ui::Keyboard::willShowNotification), nullptr, forward(&FBDialog::keyboardWillShow));
    m_keyboardHideObserver = center.addObserver(std::string(ui::Keyboard::willHideNotification), nullptr, forward(&FBDialog::keyboardWillHide));
}

void FBDialog::removeObservers()
{
    m_orientationObserver.remove();
    m_keyboardShowObserver.remove();
    m_keyboardHideObserver.remove();
}

void FBDialog::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto rect = bounds();
    context.setFillColor(panelColor);
    context.fillRect(rect);

    gfx::Rect border { std::ceil(rect.minX() + 10), std::ceil(rect.minY() + 10) + 1, rect.width() - 20, m_webView->frame().height() + 1 };
    context.setStrokeColor(borderColor);
    context.setLineWidth(1);
    context.beginPath();
    context.moveTo({ border.minX() + 0.5, border.minY() + 0.5 });
    context.addLineTo({ border.maxX() - 0.5, border.minY() + 0.5 });
    context.addLineTo({ border.maxX() - 0.5, border.maxY() - 0.5 });
    context.addLineTo({ border.minX() + 0.5, border.maxY() - 0.5 });
    context.addLineTo({ border.minX() + 0.5, border.minY() + 0.5 });
    context.strokePath();
}
