#include "platform/ui/Application.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Unicode.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Effects.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

ApplicationDelegate::~ApplicationDelegate() = default;

namespace {

std::map<std::string, bool, std::less<>> defaultOpenableSchemes()
{
    return { { "http", true }, { "https", true }, { "tel", true }, { "mailto", true }, { "sms", true }, { "itms", true },
        { "itms-apps", true } };
}

}

Application::Application()
    : m_openableSchemes(defaultOpenableSchemes())
{
}

std::shared_ptr<Application> Application::sharedPointer()
{
    static auto application = std::make_shared<Application>();
    return application;
}

Application& Application::shared()
{
    return *sharedPointer();
}

void Application::setDelegate(std::shared_ptr<ApplicationDelegate> delegate)
{
    m_delegate = std::move(delegate);
}

void Application::finishLaunching(const fnd::Ref<fnd::Dictionary>& options)
{
    if (auto delegate = m_delegate)
        delegate->applicationDidFinishLaunchingWithOptions(*this, options);
}

void Application::becomeActive()
{
    if (m_active)
        return;
    m_active = true;
    if (auto delegate = m_delegate)
        delegate->applicationDidBecomeActive(*this);
    fnd::NotificationCenter::defaultCenter().post(std::string(didBecomeActiveNotification), this);
}

void Application::resignActive()
{
    if (!m_active)
        return;
    m_active = false;
    if (auto delegate = m_delegate)
        delegate->applicationWillResignActive(*this);
    fnd::NotificationCenter::defaultCenter().post(std::string(willResignActiveNotification), this);
}

std::vector<std::shared_ptr<Window>> Application::windows() const
{
    std::vector<std::shared_ptr<Window>> result;
    for (auto& weakWindow : m_windows) {
        if (auto window = weakWindow.lock())
            result.push_back(std::move(window));
    }
    return result;
}

std::vector<std::shared_ptr<Window>> Application::windowsInDrawingOrder() const
{
    auto result = windows();
    std::erase_if(result, [](auto& window) { return window->isHidden(); });
    std::stable_sort(result.begin(), result.end(), [](auto& a, auto& b) { return a->windowLevel() < b->windowLevel(); });
    return result;
}

std::shared_ptr<Responder> Application::firstResponder() const
{
    auto window = keyWindow();
    return window ? window->firstResponder() : nullptr;
}

void Application::layoutIfNeeded()
{
    for (auto& window : windows())
        window->layoutIfNeeded();
}

bool Application::canOpenURL(const fnd::URL& url) const
{
    auto scheme = fnd::unicode::lowercased(url.scheme());
    auto entry = m_openableSchemes.find(scheme);
    return entry != m_openableSchemes.end() && entry->second;
}

bool Application::openURL(const fnd::URL& url)
{
    bool accepted = canOpenURL(url);
    m_openedURLs.push_back(url.absoluteString());
    Effects::report((accepted ? "opened URL " : "refused URL ") + url.absoluteString());
    return accepted;
}

void Application::setCanOpenScheme(std::string_view scheme, bool canOpen)
{
    m_openableSchemes[fnd::unicode::lowercased(scheme)] = canOpen;
}

bool Application::handleIncomingURL(const fnd::URL& url, std::string_view sourceApplication)
{
    auto delegate = m_delegate;
    if (!delegate)
        return false;
    return delegate->applicationOpenURLSourceApplicationAnnotation(*this, url, sourceApplication, nullptr);
}

void Application::registerWindow(Window& window)
{
    std::erase_if(m_windows, [](auto& weakWindow) { return weakWindow.expired(); });
    bool known = std::any_of(m_windows.begin(), m_windows.end(), [&](auto& weakWindow) { return weakWindow.lock().get() == &window; });
    if (!known)
        m_windows.push_back(window.sharedAs<Window>());
}

void Application::setKeyWindow(Window& window)
{
    m_keyWindow = window.sharedAs<Window>();
}

void Application::windowResignedKey(Window& window)
{
    if (m_keyWindow.lock().get() == &window)
        m_keyWindow.reset();
}

void Application::resetForTesting()
{
    m_delegate.reset();
    m_windows.clear();
    m_keyWindow.reset();
    m_openedURLs.clear();
    m_openableSchemes = defaultOpenableSchemes();
    m_statusBarOrientation = InterfaceOrientation::Portrait;
    m_statusBarHidden = false;
    m_networkActivityIndicatorVisible = false;
    m_active = false;
}

}
