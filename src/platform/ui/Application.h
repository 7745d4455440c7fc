#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/URL.h"
#include "platform/ui/Device.h"
#include "platform/ui/Responder.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class ApplicationDelegate;
class Window;

// The platform's interface orientations, numbered as the platform numbered them; the status bar
// follows them.
enum class InterfaceOrientation {
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4,
};

// The running application: its delegate, its windows and the key window, the status bar, and the
// operating system's side of URLs (opening one, receiving one).
class Application : public Responder {
public:
    static Application& shared();
    static std::shared_ptr<Application> sharedPointer();

    // Posted on the default notification centre, with the application as sender.
    static constexpr std::string_view willResignActiveNotification = "ApplicationWillResignActive";
    static constexpr std::string_view didBecomeActiveNotification = "ApplicationDidBecomeActive";

    std::string_view className() const override { return "Application"; }

    // The application owns its delegate for the life of the process.
    const std::shared_ptr<ApplicationDelegate>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<ApplicationDelegate>);

    // The life cycle, as the device drives it.
    void finishLaunching(const fnd::Ref<fnd::Dictionary>& options = nullptr);
    void becomeActive();
    void resignActive();
    bool isActive() const { return m_active; }

    // Windows that have been shown and are still alive, in the order they were first shown.
    std::vector<std::shared_ptr<Window>> windows() const;
    // Visible windows from the bottom of the screen to the top: by level, then in showing order.
    std::vector<std::shared_ptr<Window>> windowsInDrawingOrder() const;
    std::shared_ptr<Window> keyWindow() const { return m_keyWindow.lock(); }
    // The key window's first responder.
    std::shared_ptr<Responder> firstResponder() const;
    // Lays out every window's views that asked for it.
    void layoutIfNeeded();

    // Handing a URL to the operating system (a call, a web page, another application). Every URL is
    // recorded and reported as an effect ("opened URL"); the answer is whether the system accepted it.
    bool openURL(const fnd::URL&);
    bool canOpenURL(const fnd::URL&) const;
    const std::vector<std::string>& openedURLs() const { return m_openedURLs; }
    // By default http, https, tel, mailto, sms, itms and itms-apps open and nothing else does.
    void setCanOpenScheme(std::string_view scheme, bool);

    // A URL that another application opens in this one: goes to the delegate.
    bool handleIncomingURL(const fnd::URL&, std::string_view sourceApplication = {});

    InterfaceOrientation statusBarOrientation() const { return m_statusBarOrientation; }
    void setStatusBarOrientation(InterfaceOrientation orientation) { m_statusBarOrientation = orientation; }
    bool isStatusBarHidden() const { return m_statusBarHidden; }
    void setStatusBarHidden(bool hidden) { m_statusBarHidden = hidden; }
    bool isNetworkActivityIndicatorVisible() const { return m_networkActivityIndicatorVisible; }
    void setNetworkActivityIndicatorVisible(bool visible) { m_networkActivityIndicatorVisible = visible; }

    // For windows.
    void registerWindow(Window&);
    void setKeyWindow(Window&);
    void windowResignedKey(Window&);

    // Forgets windows, delegate, opened URLs and settings: a fresh device for the next test.
    void resetForTesting();

    Application();

private:
    std::shared_ptr<ApplicationDelegate> m_delegate;
    std::vector<std::weak_ptr<Window>> m_windows;
    std::weak_ptr<Window> m_keyWindow;
    std::vector<std::string> m_openedURLs;
    std::map<std::string, bool, std::less<>> m_openableSchemes;
    InterfaceOrientation m_statusBarOrientation = InterfaceOrientation::Portrait;
    bool m_statusBarHidden = false;
    bool m_networkActivityIndicatorVisible = false;
    bool m_active = false;
};

}
