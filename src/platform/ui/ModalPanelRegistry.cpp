#include "platform/ui/ModalPanelRegistry.h"

#include "platform/ui/Effects.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace ui {

ModalPanelRegistry& ModalPanelRegistry::shared()
{
    static ModalPanelRegistry registry;
    return registry;
}

void ModalPanelRegistry::show(std::shared_ptr<View> panel, std::string announcement)
{
    if (!panel)
        return;
    if (!m_window) {
        m_window = Window::create(Screen::mainScreen().bounds());
        m_window->setWindowLevel(WindowLevel::Alert);
        m_window->setBackgroundColor(gfx::Color(0, 0, 0, 0.4));
    }
    m_window->addSubview(std::move(panel));
    m_window->setHidden(false);
    if (!announcement.empty())
        Effects::report(std::move(announcement));
}

void ModalPanelRegistry::dismiss(View& panel)
{
    if (!m_window || panel.superviewPointer() != m_window.get())
        return;
    panel.removeFromSuperview();
    if (m_window->subviews().empty()) {
        m_window->setHidden(true);
        m_window.reset();
    }
}

bool ModalPanelRegistry::isShowing(const View& panel) const
{
    return m_window && panel.superviewPointer() == m_window.get();
}

std::vector<std::shared_ptr<View>> ModalPanelRegistry::panels() const
{
    return m_window ? m_window->subviews() : std::vector<std::shared_ptr<View>> {};
}

std::shared_ptr<View> ModalPanelRegistry::topmost() const
{
    if (!m_window || m_window->subviews().empty())
        return nullptr;
    return m_window->subviews().back();
}

void ModalPanelRegistry::resetForTesting()
{
    if (m_window)
        m_window->setHidden(true);
    m_window.reset();
}

}
