#pragma once

#include "support/TemporaryHome.h"
#include "support/VirtualTime.h"
#include "support/ui/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <memory>

namespace brenzo::testing {

// A test on a fresh device in its own home, whose key window shows an empty root screen that
// controllers are presented over.
class RootScreenTest : public ::testing::Test {
protected:
    RootScreenTest()
    {
        auto screen = freshDeviceWithRootScreen();
        m_window = screen.window;
        m_root = screen.root;
        m_time.runUntilIdle();
    }

    TemporaryHome m_home;
    VirtualTime m_time;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root;
};

}
