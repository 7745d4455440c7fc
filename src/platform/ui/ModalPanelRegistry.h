#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ui {

class View;
class Window;

// What is modally on screen above every window: alerts and action sheets register their views
// here. The panels share a dimmed window at the alert level, so they are drawn and touched above
// everything else, and `press` looks at them first (and only at them while one shows). Showing a
// panel reports its announcement as an effect ("alert \"Offline\" ...").
class ModalPanelRegistry {
public:
    static ModalPanelRegistry& shared();

    // The panel keeps the frame it has; the latest shown is on top.
    void show(std::shared_ptr<View> panel, std::string announcement);
    void dismiss(View& panel);
    bool isShowing(const View& panel) const;
    // Bottom to top.
    std::vector<std::shared_ptr<View>> panels() const;
    std::shared_ptr<View> topmost() const;
    // The window the panels live in, while any shows.
    std::shared_ptr<Window> window() const { return m_window; }

    void resetForTesting();

private:
    ModalPanelRegistry() = default;

    std::shared_ptr<Window> m_window;
};

}
