#pragma once

#include "SharingTestEnvironment.h"

#include "platform/graphics/FixedAdvanceTextMeasurer.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SHKFormController;
class SHKFormFieldCell;

namespace brenzo::testing {

// A device for sharing screens: virtual time, a fresh home with an in-memory keychain and the given
// configuration, a key window whose root is the helper's root, nothing on screen, the network
// online, and a fixed text measurer.
class SharingScreenTest : public ::testing::Test {
protected:
    explicit SharingScreenTest(std::shared_ptr<const DefaultSHKConfigurator> = nullptr);
    ~SharingScreenTest() override;

    // Lets presentations and dismissals finish and lays the screen out.
    void settle();
    void setOnline(bool);

    // The form on top of the sharer the helper shows, once everything has settled.
    std::shared_ptr<SHKFormController> shownForm();
    static std::shared_ptr<SHKFormFieldCell> cellAt(SHKFormController&, int row, int section = 0);
    // Types into the row's text field.
    static void type(SHKFormController&, int row, std::string_view text);

    // The alerts on screen, bottom to top.
    static std::vector<std::shared_ptr<ui::AlertView>> alerts();
    // "Title: message [button]" of each alert on screen.
    static std::vector<std::string> alertTexts();

    VirtualTime m_time;
    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>() };
    SharingEnvironment m_environment;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root;
};

}
