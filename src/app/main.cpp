#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/ApplicationMain.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace {

// Shows a window with a greeting until the board's delegate takes its place.
class WelcomeDelegate final : public ui::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(ui::Application&) override
    {
        m_window = ui::Window::create();
        m_window->setBackgroundColor(gfx::Color::white());
        auto frame = ui::Screen::mainScreen().applicationFrame();
        auto label = ui::Label::create({ 20, frame.midY() - 20, frame.size.width - 40, 40 });
        label->setText("Brenzo");
        label->setFont(gfx::Font::boldSystemFont(24));
        label->setTextAlignment(gfx::TextAlignment::Center);
        m_window->addSubview(label);
        m_window->makeKeyAndVisible();
    }

    std::shared_ptr<ui::Window> window() const override { return m_window; }

private:
    std::shared_ptr<ui::Window> m_window;
};

}

int main(int argc, char** argv)
{
    rt::ClassRegistry::shared().registerClass<ui::ApplicationDelegate>("WelcomeDelegate", [] { return std::make_shared<WelcomeDelegate>(); });
    return ui::ApplicationMain(argc, argv, "WelcomeDelegate");
}
