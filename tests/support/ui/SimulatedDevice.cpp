#include "support/ui/SimulatedDevice.h"

#include "platform/ui/Animator.h"
#include "platform/ui/Application.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/Device.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace brenzo::testing {

void resetSimulatedDevice()
{
    ui::ModalPanelRegistry::shared().resetForTesting();
    ui::Application::shared().resetForTesting();
    ui::Device::current().resetForTesting();
    ui::Animator::shared().clearHistory();
    ui::Screen::mainScreen().setScale(1);
    ui::BundleImages::clearCache();
}

RootScreen freshDeviceWithRootScreen()
{
    resetSimulatedDevice();
    RootScreen screen { ui::Window::create(), ui::ViewController::create() };
    screen.window->setRootViewController(screen.root);
    screen.window->makeKeyAndVisible();
    return screen;
}

}
