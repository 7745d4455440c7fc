#pragma once

#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

namespace ui {

class Event;
class TouchSet;
class ViewController;

// Window levels: windows are drawn and hit in level order, and in the order they were first shown
// within one level.
namespace WindowLevel {
constexpr double Normal = 0;
constexpr double StatusBar = 1000;
constexpr double Alert = 2000;
}

// The root of a view tree on screen. A window starts hidden; makeKeyAndVisible shows it and makes it
// the key window, which receives typed text and whose views the renderer draws first among windows
// of its level. Its coordinates are the screen's.
class Window : public View {
public:
    static std::shared_ptr<Window> create(const gfx::Rect& frame);
    static std::shared_ptr<Window> create();
    explicit Window(const gfx::Rect& frame);
    ~Window() override;

    std::string_view className() const override { return "Window"; }

    double windowLevel() const { return m_windowLevel; }
    void setWindowLevel(double level) { m_windowLevel = level; }

    void setHidden(bool) override;
    void makeKeyWindow();
    void makeKeyAndVisible();
    bool isKeyWindow() const;

    // Setting a root view controller puts its view in the window, in the application frame.
    std::shared_ptr<ViewController> rootViewController() const { return m_rootViewController; }
    void setRootViewController(std::shared_ptr<ViewController>);

    std::shared_ptr<Responder> firstResponder() const { return m_firstResponder.lock(); }
    void setFirstResponder(const std::shared_ptr<Responder>&);
    void clearFirstResponder() { m_firstResponder.reset(); }

    // Delivers the touches of one phase to the views they landed on, each view receiving its own
    // touches in one call. Touches whose view has gone are dropped.
    void sendTouches(TouchPhase, const TouchSet&, const Event&);

    // The application comes after the window in the responder chain.
    std::shared_ptr<Responder> nextResponder() const override;

private:
    double m_windowLevel = WindowLevel::Normal;
    std::shared_ptr<ViewController> m_rootViewController;
    std::weak_ptr<Responder> m_firstResponder;
};

}
