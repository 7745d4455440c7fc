#include "platform/ui/AlertView.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Screen.h"

#include <cmath>

namespace ui {

namespace {

constexpr double buttonHeight = 43;
constexpr double margin = 12;

}

AlertViewDelegate::~AlertViewDelegate() = default;

std::shared_ptr<AlertView> AlertView::create(std::string title, std::string message, const std::shared_ptr<AlertViewDelegate>& delegate,
    std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles)
{
    auto alert = std::make_shared<AlertView>();
    alert->m_title = std::move(title);
    alert->m_message = std::move(message);
    alert->m_delegate = delegate;
    if (!cancelButtonTitle.empty())
        alert->setCancelButtonIndex(alert->addButtonWithTitle(std::move(cancelButtonTitle)));
    for (auto& other : otherButtonTitles)
        alert->addButtonWithTitle(std::move(other));
    return alert;
}

AlertView::AlertView()
{
    layer().setCornerRadius(10);
}

double AlertView::headingHeight() const
{
    double height = margin;
    if (!m_title.empty())
        height += gfx::TextLayout::sizeOfText(m_title, gfx::Font::boldSystemFont(17), { width - 24, 0 }, gfx::LineBreakMode::WordWrap).height + 6;
    if (!m_message.empty())
        height += gfx::TextLayout::sizeOfText(m_message, gfx::Font::systemFont(15), { width - 24, 0 }, gfx::LineBreakMode::WordWrap).height;
    return height + margin;
}

void AlertView::layOutPanel()
{
    double top = headingHeight();
    std::vector<gfx::Rect> frames;
    int count = numberOfButtons();
    double height = top;
    if (count == 2) {
        // Side by side, the cancel button at the left.
        double buttonWidth = (width - 2 * margin - 10) / 2;
        int left = cancelButtonIndex() == 1 ? 1 : 0;
        frames.resize(2);
        frames[left] = { margin, top, buttonWidth, buttonHeight };
        frames[1 - left] = { margin + buttonWidth + 10, top, buttonWidth, buttonHeight };
        height += buttonHeight + margin;
    } else {
        for (int index = 0; index < count; ++index) {
            frames.push_back({ margin, height, width - 2 * margin, buttonHeight });
            height += buttonHeight + 8;
        }
        height += margin - (count ? 8 : 0);
    }
    setButtonFrames(std::move(frames));
    auto screen = Screen::mainScreen().bounds();
    setFrame({ std::round((screen.width() - width) / 2), std::round((screen.height() - height) / 2), width, height });
}

void AlertView::show()
{
    if (isVisible())
        return;
    auto protect = sharedAs<AlertView>();
    if (auto delegate = this->delegate())
        delegate->willPresentAlertView(*this);
    showPanel(m_title, m_message);
    std::weak_ptr<AlertView> weakThis = protect;
    fnd::RunLoop::main().post([weakThis] {
        auto alert = weakThis.lock();
        // Taken away before it finished appearing: it never did.
        if (!alert || !alert->isVisible())
            return;
        if (auto delegate = alert->delegate())
            delegate->didPresentAlertView(*alert);
    });
}

void AlertView::tellDelegateClicked(int index)
{
    if (auto delegate = this->delegate())
        delegate->clickedButtonAtIndex(*this, index);
}

void AlertView::tellDelegateWillDismiss(int index)
{
    if (auto delegate = this->delegate())
        delegate->willDismissWithButtonIndex(*this, index);
}

void AlertView::tellDelegateDidDismiss(int index)
{
    if (auto delegate = this->delegate())
        delegate->didDismissWithButtonIndex(*this, index);
}

void AlertView::drawRect(gfx::GraphicsContext& context, const gfx::Rect& rect)
{
    auto area = bounds();
    context.setFillColor(gfx::Color(0.05, 0.12, 0.32, 0.92));
    context.beginPath();
    context.addRoundedRect(area, 10);
    context.fillPath();
    context.setStrokeColor(gfx::Color::white());
    context.setLineWidth(2);
    context.beginPath();
    context.addRoundedRect(area.insetBy(1, 1), 9);
    context.strokePath();
    drawHeading(context, m_title, m_message, margin, width);
    ButtonPanel::drawRect(context, rect);
}

std::string AlertView::treeAttributes() const
{
    return "title=\"" + m_title + "\" message=\"" + m_message + "\" " + ButtonPanel::treeAttributes();
}

}
