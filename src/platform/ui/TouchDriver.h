#pragma once

#include "platform/graphics/Point.h"
#include "platform/ui/Event.h"
#include "platform/ui/Touch.h"

#include <memory>
#include <vector>

namespace ui {

class View;
class Window;

// Plays fingers on the screen as the device would: each touch lands on the view that the topmost
// window's hit test finds (transforms included) and keeps that view until it lifts; began, moved,
// ended and cancelled phases go to the views with the event of all touches on the screen. Each
// phase is one turn of the main run loop: the loop runs the work it posted before the next phase.
//
// Taps that land within multiTapInterval seconds of the previous tap's end, and within
// multiTapRadius points of it, count up (2 for a double tap). Coordinates are the screen's points:
// (0, 0) is the top left of the 320 x 480 screen, status bar included.
class TouchDriver {
public:
    static constexpr double multiTapInterval = 0.35;
    static constexpr double multiTapRadius = 25;

    TouchDriver();
    ~TouchDriver();
    TouchDriver(const TouchDriver&) = delete;
    TouchDriver& operator=(const TouchDriver&) = delete;

    // Fingers landing together, moving together and lifting together.
    std::vector<std::shared_ptr<Touch>> touchDown(const std::vector<gfx::Point>&);
    std::shared_ptr<Touch> touchDown(gfx::Point);
    // Moves each touch to the point at the same position.
    void touchMove(const std::vector<std::shared_ptr<Touch>>&, const std::vector<gfx::Point>&);
    void touchUp(const std::vector<std::shared_ptr<Touch>>&);
    void touchCancel(const std::vector<std::shared_ptr<Touch>>&);
    const std::vector<std::shared_ptr<Touch>>& activeTouches() const { return m_active; }

    void tap(gfx::Point);
    void doubleTap(gfx::Point);
    // One finger from `from` to `to` in `steps` moves.
    void drag(gfx::Point from, gfx::Point to, int steps = 10);
    // Two fingers on a horizontal line through `center`, from `startDistance` apart to `endDistance`.
    void pinch(gfx::Point center, double startDistance, double endDistance, int steps = 10);
    // Two fingers `radius` from `center` on opposite sides, turning from `startAngle` to `endAngle`
    // (radians, clockwise on screen).
    void rotate(gfx::Point center, double radius, double startAngle, double endAngle, int steps = 10);
    // Two fingers from a0 and b0 to a1 and b1.
    void twoFingerGesture(gfx::Point a0, gfx::Point b0, gfx::Point a1, gfx::Point b1, int steps = 10);

    // What a touch at the point would land on, and in which window.
    std::shared_ptr<View> hitView(gfx::Point, std::shared_ptr<Window>* window = nullptr) const;

private:
    void deliver(TouchPhase, const std::vector<std::shared_ptr<Touch>>&);
    unsigned tapCountFor(gfx::Point, double now) const;
    void turnRunLoop();

    std::vector<std::shared_ptr<Touch>> m_active;
    std::vector<gfx::Point> m_startLocations;
    uint64_t m_nextIdentifier = 1;

    bool m_hasLastTap = false;
    gfx::Point m_lastTapLocation;
    double m_lastTapTime = 0;
    unsigned m_lastTapCount = 0;
};

}
