#include "platform/ui/Keyboard.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/RectValue.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextInput.h"

namespace ui {

namespace {

constexpr double animationDuration = 0.25;

}

Keyboard& Keyboard::shared()
{
    static Keyboard keyboard;
    return keyboard;
}

gfx::Rect Keyboard::frame() const
{
    auto screen = Screen::mainScreen().bounds();
    return { 0, screen.height() - height, screen.width(), height };
}

std::optional<gfx::Rect> Keyboard::frameFromUserInfo(const fnd::Ref<fnd::Dictionary>& userInfo, std::string_view key)
{
    if (!userInfo)
        return std::nullopt;
    auto value = fnd::as<RectValue>(userInfo->objectForKey(key));
    if (!value)
        return std::nullopt;
    return value->rect();
}

void Keyboard::post(std::string_view name, const gfx::Rect& begin, const gfx::Rect& end)
{
    auto userInfo = fnd::MutableDictionary::create();
    userInfo->setObjectForKey(RectValue::create(begin), frameBeginKey);
    userInfo->setObjectForKey(RectValue::create(end), frameEndKey);
    userInfo->setObjectForKey(fnd::Number::withDouble(animationDuration), animationDurationKey);
    fnd::NotificationCenter::defaultCenter().post(std::string(name), nullptr, userInfo);
}

void Keyboard::editingBegan()
{
    if (m_visible)
        return;
    m_visible = true;
    auto shown = frame();
    auto below = shown.offsetBy(0, height);
    post(willShowNotification, below, shown);
    post(didShowNotification, below, shown);
}

void Keyboard::editingEnded()
{
    fnd::RunLoop::main().post([] {
        auto& keyboard = Keyboard::shared();
        if (!keyboard.m_visible || dynamic_cast<TextInput*>(Application::shared().firstResponder().get()))
            return;
        keyboard.m_visible = false;
        auto shown = keyboard.frame();
        auto below = shown.offsetBy(0, height);
        keyboard.post(willHideNotification, shown, below);
        keyboard.post(didHideNotification, shown, below);
    });
}

}
