#pragma once

#include <memory>

namespace ui {
class ViewController;
class Window;
}

namespace brenzo::testing {

// Puts the simulated device back as it starts: no panels, no presented screens, no recorded
// animations or opened URLs, portrait at scale 1, no cached bundle images.
void resetSimulatedDevice();

// A fresh device whose key window shows an empty root screen, for tests that present
// controllers over it. The window shows once the main run loop has run.
struct RootScreen {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root;
};
RootScreen freshDeviceWithRootScreen();

}
