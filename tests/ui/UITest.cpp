#include "UITest.h"

#include "platform/ui/Animator.h"
#include "platform/ui/Application.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/Device.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/Screen.h"

namespace brenzo::testing {

namespace {

void resetDevice()
{
    ui::ModalPanelRegistry::shared().resetForTesting();
    ui::Application::shared().resetForTesting();
    ui::Device::current().resetForTesting();
    ui::Animator::shared().clearHistory();
    ui::Screen::mainScreen().setScale(1);
    ui::BundleImages::clearCache();
}

}

UITest::UITest()
{
    resetDevice();
}

UITest::~UITest()
{
    resetDevice();
}

std::shared_ptr<ui::Window> UITest::makeKeyWindow()
{
    auto window = ui::Window::create();
    window->setBackgroundColor(gfx::Color::white());
    window->makeKeyAndVisible();
    return window;
}

gfx::Pixel pixelAtPoint(const gfx::Image& image, double x, double y)
{
    return image.pixelAt(size_t(x * image.scale()), size_t(y * image.scale()));
}

}
