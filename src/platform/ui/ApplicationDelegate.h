#pragma once

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/URL.h"

#include <memory>
#include <string_view>

namespace ui {

class Application;
class Window;

// What the application tells its delegate. Every operation is optional: the defaults do nothing
// (the launch with options runs the plain launch, the URL with its source runs the plain URL
// hand-off, which refuses the URL).
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate();

    virtual void applicationDidFinishLaunching(Application&) { }
    virtual bool applicationDidFinishLaunchingWithOptions(Application& application, const fnd::Ref<fnd::Dictionary>&)
    {
        applicationDidFinishLaunching(application);
        return true;
    }

    virtual bool applicationHandleOpenURL(Application&, const fnd::URL&) { return false; }
    virtual bool applicationOpenURLSourceApplicationAnnotation(Application& application, const fnd::URL& url,
        std::string_view /* sourceApplication */, const fnd::Id& /* annotation */)
    {
        return applicationHandleOpenURL(application, url);
    }

    virtual void applicationDidBecomeActive(Application&) { }
    virtual void applicationWillResignActive(Application&) { }
    virtual void applicationWillTerminate(Application&) { }

    virtual std::shared_ptr<Window> window() const { return nullptr; }
};

}
