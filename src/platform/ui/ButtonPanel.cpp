#include "platform/ui/ButtonPanel.h"

#include "platform/foundation/RunLoop.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"

namespace ui {

ButtonPanel::ButtonPanel()
{
    setBackgroundColor(std::nullopt);
}

int ButtonPanel::addButtonWithTitle(std::string title)
{
    m_titles.push_back(std::move(title));
    setNeedsLayout();
    return numberOfButtons() - 1;
}

std::string ButtonPanel::buttonTitleAtIndex(int index) const
{
    if (index < 0 || index >= numberOfButtons())
        return {};
    return m_titles[index];
}

int ButtonPanel::indexOfButtonWithTitle(std::string_view title) const
{
    for (int index = 0; index < numberOfButtons(); ++index) {
        if (m_titles[index] == title)
            return index;
    }
    return -1;
}

int ButtonPanel::firstOtherButtonIndex() const
{
    for (int index = 0; index < numberOfButtons(); ++index) {
        if (index != m_cancelButtonIndex && index != destructiveIndex())
            return index;
    }
    return -1;
}

bool ButtonPanel::isVisible() const
{
    return ModalPanelRegistry::shared().isShowing(*this);
}

void ButtonPanel::buttonTapped(int index)
{
    tellDelegateClicked(index);
    dismissWithClickedButtonIndex(index, true);
}

void ButtonPanel::dismissWithClickedButtonIndex(int buttonIndex, bool)
{
    if (!isVisible())
        return;
    auto protect = sharedAs<ButtonPanel>();
    tellDelegateWillDismiss(buttonIndex);
    removePanel();
    // The panel lives until its delegate has heard that it has gone.
    fnd::RunLoop::main().post([protect, buttonIndex] { protect->tellDelegateDidDismiss(buttonIndex); });
}

bool ButtonPanel::pressButtonAtIndex(int index)
{
    if (index < 0 || index >= numberOfButtons())
        return false;
    auto protect = sharedAs<ButtonPanel>();
    buttonTapped(index);
    return true;
}

bool ButtonPanel::pressButtonWithTitle(std::string_view title)
{
    return pressButtonAtIndex(indexOfButtonWithTitle(title));
}

namespace {

// A panel is announced on one line whatever its texts hold.
std::string oneLine(std::string_view text)
{
    std::string line;
    for (char character : text) {
        if (character == '\n')
            line += "\\n";
        else if (character == '\r' || character == '\t')
            line += ' ';
        else
            line += character;
    }
    return line;
}

}

std::string ButtonPanel::announcement(const std::string& title, const std::string& message) const
{
    std::string line(kindName());
    line += " \"" + oneLine(title) + "\"";
    if (!message.empty())
        line += " \"" + oneLine(message) + "\"";
    for (auto& button : m_titles)
        line += " [" + oneLine(button) + "]";
    return line;
}

void ButtonPanel::showPanel(const std::string& title, const std::string& message)
{
    layOutPanel();
    ModalPanelRegistry::shared().show(sharedAs<View>(), announcement(title, message));
}

void ButtonPanel::removePanel()
{
    m_highlightedButton = -1;
    ModalPanelRegistry::shared().dismiss(*this);
}

void ButtonPanel::layoutSubviews()
{
    layOutPanel();
}

void ButtonPanel::drawHeading(gfx::GraphicsContext& context, const std::string& title, const std::string& message, double top, double width) const
{
    auto white = gfx::Color::white();
    double y = top;
    if (!title.empty()) {
        auto font = gfx::Font::boldSystemFont(17);
        auto size = gfx::TextLayout::sizeOfText(title, font, { width - 24, 0 }, gfx::LineBreakMode::WordWrap);
        context.drawText(title, { 12, y, width - 24, size.height }, font, white, gfx::TextAlignment::Center);
        y += size.height + 6;
    }
    if (!message.empty()) {
        auto font = gfx::Font::systemFont(15);
        auto size = gfx::TextLayout::sizeOfText(message, font, { width - 24, 0 }, gfx::LineBreakMode::WordWrap);
        context.drawText(message, { 12, y, width - 24, size.height }, font, white, gfx::TextAlignment::Center);
    }
}

void ButtonPanel::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    for (int index = 0; index < numberOfButtons() && index < static_cast<int>(m_buttonFrames.size()); ++index) {
        auto frame = m_buttonFrames[index];
        gfx::Color fill = gfx::Color::grey(0.92);
        gfx::Color text = gfx::Color::black();
        if (index == destructiveIndex()) {
            fill = gfx::Color(0.85, 0.15, 0.15);
            text = gfx::Color::white();
        } else if (index == m_cancelButtonIndex) {
            fill = gfx::Color::grey(0.3);
            text = gfx::Color::white();
        }
        if (index == m_highlightedButton)
            fill = gfx::Color(0.02, 0.45, 0.9);
        context.setFillColor(fill);
        context.beginPath();
        context.addRoundedRect(frame, 8);
        context.fillPath();
        auto font = gfx::Font::boldSystemFont(17);
        double lineHeight = gfx::TextLayout::sizeOfLine("X", font).height;
        context.drawText(m_titles[index], { frame.minX() + 4, frame.midY() - lineHeight / 2, frame.width() - 8, lineHeight }, font, text,
            gfx::TextAlignment::Center, gfx::LineBreakMode::TailTruncation, 1);
    }
}

int ButtonPanel::buttonAtPoint(gfx::Point point) const
{
    for (size_t index = 0; index < m_buttonFrames.size(); ++index) {
        if (m_buttonFrames[index].containsPoint(point))
            return static_cast<int>(index);
    }
    return -1;
}

void ButtonPanel::touchesBegan(const TouchSet& touches, const Event&)
{
    auto touch = touches.anyObject();
    m_highlightedButton = touch ? buttonAtPoint(touch->locationInView(this)) : -1;
    setNeedsDisplay();
}

void ButtonPanel::touchesMoved(const TouchSet& touches, const Event&)
{
    auto touch = touches.anyObject();
    m_highlightedButton = touch ? buttonAtPoint(touch->locationInView(this)) : -1;
    setNeedsDisplay();
}

void ButtonPanel::touchesEnded(const TouchSet& touches, const Event&)
{
    auto touch = touches.anyObject();
    int index = touch ? buttonAtPoint(touch->locationInView(this)) : -1;
    m_highlightedButton = -1;
    setNeedsDisplay();
    if (index >= 0)
        pressButtonAtIndex(index);
}

void ButtonPanel::touchesCancelled(const TouchSet&, const Event&)
{
    m_highlightedButton = -1;
    setNeedsDisplay();
}

void ButtonPanel::collectPressTargets(PressTargets& targets)
{
    std::weak_ptr<ButtonPanel> weakThis = sharedAs<ButtonPanel>();
    for (int index = 0; index < numberOfButtons(); ++index) {
        if (m_titles[index].empty())
            continue;
        PressTarget target;
        target.kind = PressTarget::Kind::PanelButton;
        target.texts = { m_titles[index] };
        target.description = std::string(kindName()) + " button \"" + m_titles[index] + "\"";
        target.press = [weakThis, index] {
            if (auto panel = weakThis.lock())
                panel->pressButtonAtIndex(index);
        };
        targets.push_back(std::move(target));
    }
}

std::string ButtonPanel::treeAttributes() const
{
    std::string text = "buttons=";
    for (int index = 0; index < numberOfButtons(); ++index)
        text += (index ? "|" : "") + m_titles[index];
    if (m_cancelButtonIndex >= 0)
        text += " cancel=" + std::to_string(m_cancelButtonIndex);
    return text;
}

}
