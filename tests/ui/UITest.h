#pragma once

#include "platform/graphics/FixedAdvanceTextMeasurer.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Pixel.h"
#include "platform/ui/Event.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/VirtualTime.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace brenzo::testing {

// A fresh device for each test: virtual time, no windows, no panels, no recorded animations or
// opened URLs, scale 1, and a fixed text measurer so layout does not depend on fonts.
class UITest : public ::testing::Test {
protected:
    UITest();
    ~UITest() override;

    // A visible key window covering the screen, white.
    std::shared_ptr<ui::Window> makeKeyWindow();
    void runUntilIdle() { m_time.runUntilIdle(); }
    void advance(double seconds) { m_time.advance(seconds); }

    VirtualTime m_time;
    gfx::ScopedTextMeasurer m_measurer { std::make_shared<gfx::FixedAdvanceTextMeasurer>() };
};

// A view that writes down every touch it hears of.
class RecordingView : public ui::View {
public:
    struct Received {
        ui::TouchPhase phase;
        size_t touchCount;
        unsigned tapCount;
        gfx::Point location;
        uint64_t touchIdentifier;
        size_t touchesForViewCount;
    };

    using View::View;
    std::string_view className() const override { return "RecordingView"; }

    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override { record(ui::TouchPhase::Began, touches, event); }
    void touchesMoved(const ui::TouchSet& touches, const ui::Event& event) override { record(ui::TouchPhase::Moved, touches, event); }
    void touchesEnded(const ui::TouchSet& touches, const ui::Event& event) override { record(ui::TouchPhase::Ended, touches, event); }
    void touchesCancelled(const ui::TouchSet& touches, const ui::Event& event) override { record(ui::TouchPhase::Cancelled, touches, event); }

    std::vector<Received> received;

private:
    void record(ui::TouchPhase phase, const ui::TouchSet& touches, const ui::Event& event)
    {
        auto touch = touches.anyObject();
        received.push_back({ phase, touches.count(), touch->tapCount(), touch->locationInView(this), touch->identifier(),
            event.touchesForView(*this).count() });
    }
};

// A controller that writes its life into a shared log as "Name: event".
class LoggingViewController : public ui::ViewController {
public:
    LoggingViewController(std::string name, std::shared_ptr<std::vector<std::string>> log)
        : m_name(std::move(name))
        , m_log(std::move(log))
    {
    }

    std::string_view className() const override { return "LoggingViewController"; }

    void viewDidLoad() override { m_log->push_back(m_name + ": viewDidLoad"); }
    void viewWillAppear(bool) override { m_log->push_back(m_name + ": viewWillAppear"); }
    void viewDidAppear(bool) override { m_log->push_back(m_name + ": viewDidAppear"); }
    void viewWillDisappear(bool) override { m_log->push_back(m_name + ": viewWillDisappear"); }
    void viewDidDisappear(bool) override { m_log->push_back(m_name + ": viewDidDisappear"); }

private:
    std::string m_name;
    std::shared_ptr<std::vector<std::string>> m_log;
};

// The pixel at a point of a picture, with the picture's scale applied.
gfx::Pixel pixelAtPoint(const gfx::Image&, double x, double y);

}
