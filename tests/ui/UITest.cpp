#include "UITest.h"

#include "support/ui/SimulatedDevice.h"

namespace brenzo::testing {

UITest::UITest()
{
    resetSimulatedDevice();
}

UITest::~UITest()
{
    resetSimulatedDevice();
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
