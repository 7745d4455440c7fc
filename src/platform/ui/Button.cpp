#include "platform/ui/Button.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <cmath>
#include <filesystem>

namespace ui {

namespace {

const gfx::Color roundedRectTitleColor { 0.196, 0.31, 0.522 };

}

std::shared_ptr<Button> Button::create(ButtonType type)
{
    return std::make_shared<Button>(type);
}

Button::Button(ButtonType type)
    : Control(gfx::Rect())
    , m_type(type)
    , m_titleLabel(Label::create())
    , m_imageView(ImageView::create())
{
    setOpaque(false);
    m_titleLabel->setBackgroundColor(std::nullopt);
    m_titleLabel->setFont(gfx::Font::boldSystemFont(15));
    m_titleLabel->setTextAlignment(gfx::TextAlignment::Center);
    m_titleLabel->setHidden(true);
    m_imageView->setHidden(true);
    m_imageView->setContentMode(ContentMode::Center);
    addSubview(m_imageView);
    addSubview(m_titleLabel);
    if (type == ButtonType::Custom)
        m_titleColors[ControlState::Normal] = gfx::Color::white();
    else
        m_titleColors[ControlState::Normal] = roundedRectTitleColor;
    if (type == ButtonType::ContactAdd || type == ButtonType::DetailDisclosure || type == ButtonType::InfoLight || type == ButtonType::InfoDark)
        setFrame({ 0, 0, 29, 31 });
}

template<typename Value>
std::optional<Value> Button::valueForState(const std::map<unsigned, Value>& values, unsigned state)
{
    // The exact state first, then the normal state, as the platform falls back.
    if (auto found = values.find(state); found != values.end())
        return found->second;
    if (state & ControlState::Disabled) {
        if (auto found = values.find(ControlState::Disabled); found != values.end())
            return found->second;
    }
    if (state & ControlState::Highlighted) {
        if (auto found = values.find(ControlState::Highlighted); found != values.end())
            return found->second;
    }
    if (state & ControlState::Selected) {
        if (auto found = values.find(ControlState::Selected); found != values.end())
            return found->second;
    }
    if (auto found = values.find(ControlState::Normal); found != values.end())
        return found->second;
    return std::nullopt;
}

void Button::setTitle(std::string title, unsigned state)
{
    m_titles[state] = std::move(title);
    updateContent();
}

std::string Button::titleForState(unsigned state) const
{
    return valueForState(m_titles, state).value_or(std::string());
}

void Button::setTitleColor(const gfx::Color& color, unsigned state)
{
    m_titleColors[state] = color;
    updateContent();
}

gfx::Color Button::titleColorForState(unsigned state) const
{
    return valueForState(m_titleColors, state).value_or(gfx::Color::white());
}

void Button::setImage(fnd::Ref<gfx::Image> image, unsigned state)
{
    m_images[state] = std::move(image);
    updateContent();
}

fnd::Ref<gfx::Image> Button::imageForState(unsigned state) const
{
    return valueForState(m_images, state).value_or(nullptr);
}

void Button::setBackgroundImage(fnd::Ref<gfx::Image> image, unsigned state)
{
    m_backgroundImages[state] = std::move(image);
    setNeedsDisplay();
}

fnd::Ref<gfx::Image> Button::backgroundImageForState(unsigned state) const
{
    return valueForState(m_backgroundImages, state).value_or(nullptr);
}

void Button::setEnabled(bool enabled)
{
    Control::setEnabled(enabled);
    updateContent();
}

void Button::setSelected(bool selected)
{
    Control::setSelected(selected);
    updateContent();
}

void Button::setHighlighted(bool highlighted)
{
    Control::setHighlighted(highlighted);
    updateContent();
}

void Button::updateContent()
{
    auto title = currentTitle();
    m_titleLabel->setText(title);
    m_titleLabel->setHidden(title.empty());
    auto color = titleColorForState(state());
    if (!isEnabled())
        color = color.withAlpha(color.alpha * 0.5);
    m_titleLabel->setTextColor(color);
    auto image = currentImage();
    m_imageView->setImage(image);
    m_imageView->setHidden(!image);
    setNeedsLayout();
    setNeedsDisplay();
}

void Button::layoutSubviews()
{
    auto area = bounds();
    auto image = currentImage();
    gfx::Size imageSize = image ? image->size() : gfx::Size();
    gfx::Size titleSize = m_titleLabel->text().empty() ? gfx::Size() : m_titleLabel->sizeThatFits(area.size);
    titleSize.width = std::min(titleSize.width, std::max(0.0, area.size.width - imageSize.width));
    // Image and title side by side, centred together.
    double left = area.minX() + std::floor((area.size.width - imageSize.width - titleSize.width) / 2);
    m_imageView->setFrame({ left, area.minY() + std::floor((area.size.height - imageSize.height) / 2), imageSize.width, imageSize.height });
    m_titleLabel->setFrame({ left + imageSize.width, area.minY() + std::floor((area.size.height - titleSize.height) / 2), titleSize.width,
        titleSize.height });
}

gfx::Size Button::sizeThatFits(gfx::Size limit) const
{
    auto image = currentImage();
    gfx::Size imageSize = image ? image->size() : gfx::Size();
    gfx::Size titleSize = m_titleLabel->text().empty() ? gfx::Size() : m_titleLabel->sizeThatFits(limit);
    gfx::Size size { imageSize.width + titleSize.width, std::max(imageSize.height, titleSize.height) };
    if (m_type == ButtonType::RoundedRect) {
        size.width += 20;
        size.height = std::max(size.height + 12, 37.0);
    }
    return size;
}

void Button::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    auto area = bounds();
    if (auto background = backgroundImageForState(state())) {
        context.drawImage(*background, area);
        return;
    }
    switch (m_type) {
    case ButtonType::RoundedRect: {
        context.setFillColor(isHighlighted() ? gfx::Color(0.02, 0.55, 0.96) : gfx::Color::white());
        context.beginPath();
        context.addRoundedRect(area.insetBy(0.5, 0.5), 9);
        context.fillPath();
        context.setStrokeColor(gfx::Color::grey(0.55));
        context.setLineWidth(1);
        context.beginPath();
        context.addRoundedRect(area.insetBy(0.5, 0.5), 9);
        context.strokePath();
        break;
    }
    case ButtonType::ContactAdd:
    case ButtonType::DetailDisclosure:
    case ButtonType::InfoLight:
    case ButtonType::InfoDark: {
        gfx::Point middle { area.midX(), area.midY() };
        context.setFillColor(m_type == ButtonType::InfoLight ? gfx::Color::white() : gfx::Color(0.2, 0.45, 0.9));
        context.beginPath();
        context.addArc(middle, 10, 0, 2 * M_PI, false);
        context.fillPath();
        const char* glyph = m_type == ButtonType::ContactAdd ? "+" : m_type == ButtonType::DetailDisclosure ? ">" : "i";
        auto font = gfx::Font::boldSystemFont(14);
        context.drawText(glyph, { middle.x - 10, middle.y - 9, 20, 18 }, font, m_type == ButtonType::InfoLight ? gfx::Color::black() : gfx::Color::white(),
            gfx::TextAlignment::Center);
        break;
    }
    case ButtonType::Custom:
        break;
    }
}

bool Button::press()
{
    if (!isEnabled())
        return false;
    sendActionsForControlEvents(ControlEvent::TouchUpInside);
    return true;
}

void Button::collectPressTargets(PressTargets& targets)
{
    PressTarget target;
    target.kind = PressTarget::Kind::Button;
    auto title = currentTitle();
    if (!title.empty())
        target.texts.push_back(title);
    if (auto image = imageForState(ControlState::Normal)) {
        auto name = BundleImages::nameOf(*image);
        if (!name.empty()) {
            target.texts.push_back(name);
            target.texts.push_back(std::filesystem::path(name).stem().string());
        }
    }
    if (target.texts.empty())
        return;
    target.enabled = isEnabled();
    target.description = "button \"" + target.texts.front() + "\"";
    std::weak_ptr<Button> weakThis = sharedAs<Button>();
    target.press = [weakThis] {
        if (auto button = weakThis.lock())
            button->press();
    };
    targets.push_back(std::move(target));
}

std::string Button::treeAttributes() const
{
    std::string text;
    auto title = currentTitle();
    if (!title.empty())
        text = "title=\"" + title + "\"";
    if (auto image = currentImage()) {
        auto name = BundleImages::nameOf(*image);
        if (!name.empty())
            text += (text.empty() ? "" : " ") + std::string("image=\"") + name + "\"";
    }
    auto controlAttributes = Control::treeAttributes();
    if (!controlAttributes.empty())
        text += (text.empty() ? "" : " ") + controlAttributes;
    return text;
}

}
