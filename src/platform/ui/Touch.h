#pragma once

#include "platform/graphics/Point.h"

#include <cstdint>
#include <memory>

namespace ui {

class View;
class Window;

enum class TouchPhase {
    Began,
    Moved,
    Stationary,
    Ended,
    Cancelled,
};

// One finger on the screen, from the moment it lands until it lifts. The same object is handed
// to every phase, so a touch's identity (its address or identifier) is stable. Touches are made
// by the touch driver.
class Touch {
public:
    Touch(uint64_t identifier, gfx::Point screenLocation, double timestamp, unsigned tapCount);

    // Grows with every new touch, so sorting by it sorts touches by age.
    uint64_t identifier() const { return m_identifier; }
    TouchPhase phase() const { return m_phase; }
    unsigned tapCount() const { return m_tapCount; }
    double timestamp() const { return m_timestamp; }

    // The view the touch landed on; it keeps it for its whole life.
    std::shared_ptr<View> view() const { return m_view.lock(); }
    std::shared_ptr<Window> window() const { return m_window.lock(); }

    // The location in a view's coordinates; without a view, in the touch's window's coordinates.
    gfx::Point locationInView(const View*) const;
    gfx::Point locationInView(const std::shared_ptr<View>& view) const { return locationInView(view.get()); }
    gfx::Point previousLocationInView(const View*) const;
    gfx::Point previousLocationInView(const std::shared_ptr<View>& view) const { return previousLocationInView(view.get()); }

    gfx::Point screenLocation() const { return m_screenLocation; }

    // For the touch driver.
    void setPhase(TouchPhase phase) { m_phase = phase; }
    void moveTo(gfx::Point screenLocation, double timestamp);
    void setTargets(const std::shared_ptr<Window>&, const std::shared_ptr<View>&);
    // A second touch on a view that takes one touch at a time is not delivered.
    bool isDelivered() const { return m_delivered; }
    void setDelivered(bool delivered) { m_delivered = delivered; }

private:
    gfx::Point convert(gfx::Point screenLocation, const View*) const;

    uint64_t m_identifier;
    gfx::Point m_screenLocation;
    gfx::Point m_previousScreenLocation;
    double m_timestamp;
    unsigned m_tapCount;
    TouchPhase m_phase { TouchPhase::Began };
    std::weak_ptr<View> m_view;
    std::weak_ptr<Window> m_window;
    bool m_delivered { true };
};

}
