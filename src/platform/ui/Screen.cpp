#include "platform/ui/Screen.h"

#include "platform/ui/Application.h"

namespace ui {

Screen& Screen::mainScreen()
{
    static Screen screen;
    return screen;
}

gfx::Rect Screen::applicationFrame() const
{
    if (Application::shared().isStatusBarHidden())
        return bounds();
    return { 0, statusBarHeight, 320, 480 - statusBarHeight };
}

void Screen::setScale(double scale)
{
    m_scale = scale == 2 ? 2 : 1;
}

}
