#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ui {

// What an animation asked for, kept so that tests can see what was animated and how.
struct AnimationRecord {
    std::string name;
    double duration = 0.2;
    double delay = 0;
    int curve = 0;
    bool beginsFromCurrentState = false;
    // True for the block form (animateWithDuration), false for begin/commit.
    bool isBlock = false;
};

// The animation facility behind View's animation operations. Nothing moves over time on this
// device: the values set inside an animation apply at once, and the animation's end (its did-stop
// handler or completion, with finished = true) is reported on the next turn of the main run loop,
// as the device reports it after the animation has run.
class Animator {
public:
    static Animator& shared();

    // begin/commit may nest; each commit ends the innermost open animation.
    void begin(std::string name, const void* context);
    void setDuration(double seconds);
    void setDelay(double seconds);
    void setCurve(int curve);
    void setBeginsFromCurrentState(bool);
    void setDidStop(std::function<void()>);
    void commit();
    bool isInsideAnimation() const { return !m_open.empty(); }

    void animate(double seconds, double delay, std::function<void()> animations, std::function<void(bool finished)> completion);

    bool areEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // The most recent animations, oldest first (the last thousand).
    const std::deque<AnimationRecord>& history() const { return m_history; }
    std::vector<AnimationRecord> historyNamed(std::string_view name) const;
    void clearHistory() { m_history.clear(); }

private:
    struct OpenAnimation {
        AnimationRecord record;
        const void* context = nullptr;
        std::function<void()> didStop;
    };

    void record(AnimationRecord);

    std::vector<OpenAnimation> m_open;
    std::deque<AnimationRecord> m_history;
    bool m_enabled = true;
};

}
