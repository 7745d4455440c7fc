#include "board/MultipartLabel.h"

#include "platform/foundation/Unicode.h"
#include "platform/graphics/TextLayout.h"
#include "platform/graphics/TextMeasurer.h"
#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

std::shared_ptr<MultipartLabel> MultipartLabel::create(const gfx::Rect& frame)
{
    return std::make_shared<MultipartLabel>(frame);
}

MultipartLabel::MultipartLabel(const gfx::Rect& frame)
    : View(frame)
{
    setContentMode(ui::ContentMode::ScaleToFill);
}

void MultipartLabel::updateNumberOfLabels(size_t count)
{
    if (m_containerView)
        m_containerView->removeFromSuperview();
    m_containerView = ui::View::create({ 0, 0, bounds().width(), bounds().height() });
    m_labels.clear();
    for (size_t index = 0; index < count; ++index) {
        auto label = ui::Label::create();
        m_containerView->addSubview(label);
        m_labels.push_back(std::move(label));
    }
    addSubview(m_containerView);
    updateLayout();
}

ui::Label* MultipartLabel::partAt(int index) const
{
    if (index < 0 || size_t(index) >= m_labels.size())
        return nullptr;
    return m_labels[size_t(index)].get();
}

void MultipartLabel::setTextForLabel(std::string text, int index)
{
    if (auto* label = partAt(index))
        label->setText(std::move(text));
    updateLayout();
}

void MultipartLabel::setTextAndFontForLabel(std::string text, const gfx::Font& font, int index)
{
    if (auto* label = partAt(index)) {
        label->setText(std::move(text));
        label->setFont(font);
    }
    updateLayout();
}

void MultipartLabel::setTextAndColorForLabel(std::string text, const gfx::Color& color, int index)
{
    if (auto* label = partAt(index)) {
        label->setText(std::move(text));
        label->setTextColor(color);
    }
    updateLayout();
}

void MultipartLabel::setTextAndFontAndColorForLabel(std::string text, const gfx::Font& font, const gfx::Color& color, int index)
{
    if (auto* label = partAt(index)) {
        label->setText(std::move(text));
        label->setFont(font);
        label->setTextColor(color);
    }
    updateLayout();
}

gfx::Size MultipartLabel::measure(const ui::Label& label)
{
    auto& text = label.text();
    // Measured as one line, a part keeps its blanks: a part that is only a blank still takes room.
    if (text.find('\n') == std::string::npos) {
        auto measurer = gfx::TextMeasurer::current();
        double width = std::ceil(measurer->widthOfText(fnd::unicode::sanitizedUTF8(text), label.font()));
        double height = std::ceil(measurer->lineHeight(label.font()));
        return { std::min(width, measuringLimit), std::min(height, measuringLimit) };
    }
    return gfx::TextLayout::sizeOfText(text, label.font(), { measuringLimit, measuringLimit }, label.lineBreakMode());
}

void MultipartLabel::updateLayout()
{
    std::vector<gfx::Size> sizes;
    double totalWidth = 0;
    for (auto& label : m_labels) {
        gfx::Size size;
        if (!label->text().empty()) {
            size = measure(*label);
            size = { std::trunc(size.width), std::trunc(size.height) };
        }
        sizes.push_back(size);
        totalWidth = std::trunc(totalWidth + size.width);
    }

    double width = bounds().width();
    double height = bounds().height();
    double x = 0;
    switch (contentMode()) {
    case ui::ContentMode::Center:
        x = (width - totalWidth) / 2;
        break;
    case ui::ContentMode::Right:
    case ui::ContentMode::TopRight:
    case ui::ContentMode::BottomRight:
        x = width - totalWidth;
        break;
    default:
        break;
    }

    for (size_t index = 0; index < m_labels.size(); ++index) {
        auto size = sizes[index];
        double y = 0;
        switch (contentMode()) {
        case ui::ContentMode::Center:
            y = (height - size.height) / 2;
            break;
        case ui::ContentMode::Bottom:
        case ui::ContentMode::BottomLeft:
        case ui::ContentMode::BottomRight:
            y = height - size.height;
            break;
        default:
            break;
        }
        m_labels[index]->setFrame({ std::trunc(x), std::trunc(y), size.width, size.height });
        x += size.width;
    }
}
