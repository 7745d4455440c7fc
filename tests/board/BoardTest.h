#pragma once

#include "board/BrenzoViewController.h"
#include "board/TouchImageView.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/FixedAdvanceTextMeasurer.h"
#include "platform/ui/EffectCapture.h"
#include "platform/ui/TouchDriver.h"
#include "platform/ui/Window.h"
#include "support/TemporaryHome.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace brenzo::testing {

// A fresh device with an empty home, virtual time, a fixed text measurer, an empty address book
// and the log and the effects captured.
class BoardTest : public ::testing::Test {
protected:
    BoardTest();
    ~BoardTest() override;

    // A white key window showing a new board controller's view, as the launch makes it.
    std::shared_ptr<BrenzoViewController> showBoard();
    std::filesystem::path documents() const;
    std::optional<std::string> boardFileText() const;
    void writeBoardFile(const std::string& text) const;

    // The screen point at the centre of a picture (the application frame starts 20 points down).
    static gfx::Point screenPointOf(const TouchImageView&);

    void runUntilIdle() { m_time.runUntilIdle(); }
    void advance(double seconds) { m_time.advance(seconds); }

    TemporaryHome m_home;
    VirtualTime m_time;
    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>() };
    fnd::LogCapture m_log;
    ui::EffectCapture m_effects;
    std::shared_ptr<ui::Window> m_window;
    ui::TouchDriver m_touches;
};

// A minimal "main.xml" picture element.
std::string floorElement(const std::string& image, const std::string& type, int id = 0, const std::string& title = "",
    const std::string& children = "", const std::string& badge = "<badge string=\"\"/>");

}
