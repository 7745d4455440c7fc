#include "board/TDBadgedCell.h"

#include "platform/graphics/TextLayout.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

std::shared_ptr<TDBadgedCell> TDBadgedCell::create(ui::TableViewCellStyle style, std::string reuseIdentifier)
{
    auto cell = std::make_shared<TDBadgedCell>(style, std::move(reuseIdentifier));
    cell->m_badge->setParent(cell);
    return cell;
}

TDBadgedCell::TDBadgedCell(ui::TableViewCellStyle style, std::string reuseIdentifier)
    : TableViewCell(style, std::move(reuseIdentifier))
{
    configureSelf();
}

void TDBadgedCell::configureSelf()
{
    m_badge = TDBadgeView::create();
    m_multipartLabel = MultipartLabel::create(textLabel()->frame());
    m_multipartLabel->setBackgroundColor(textLabel()->backgroundColor());
    contentView()->addSubview(m_badge);
    textLabel()->addSubview(m_multipartLabel);
}

void TDBadgedCell::setBadgeString(std::optional<std::string> text)
{
    m_badgeString = std::move(text);
    setNeedsLayout();
}

void TDBadgedCell::setBadgeColor(std::optional<gfx::Color> color)
{
    m_badgeColor = color;
    setNeedsLayout();
}

void TDBadgedCell::setBadgeColorHighlighted(std::optional<gfx::Color> color)
{
    m_badgeColorHighlighted = color;
    setNeedsLayout();
}

void TDBadgedCell::layoutSubviews()
{
    TableViewCell::layoutSubviews();
    if (!m_badgeString) {
        m_badge->setHidden(true);
        return;
    }
    m_badge->setHidden(isEditing());

    auto& imageLayer = imageView()->layer();
    imageLayer.setCornerRadius(10);
    imageLayer.setMasksToBounds(true);
    imageLayer.setBorderColor(gfx::Color::black());
    imageLayer.setBorderWidth(1);

    double textWidth = gfx::TextLayout::sizeOfLine(*m_badgeString, gfx::Font::boldSystemFont(TDBadgeView::fontSize)).width;
    auto content = contentView()->bounds();
    double inset = accessoryType() != ui::TableViewCellAccessoryType::None ? textWidth + 25 : textWidth + 6;
    gfx::Rect badgeFrame { content.width() - inset, std::round((content.height() - badgeHeight) / 2), textWidth + 13, badgeHeight };
    m_badge->setFrame(badgeFrame);
    m_badge->setShowShadow(m_showShadow);
    m_badge->setBadgeString(m_badgeString);

    narrowForBadge(*textLabel(), badgeFrame.origin.x, textWidth);
    narrowForBadge(*m_multipartLabel, badgeFrame.origin.x, textWidth);
    if (detailTextLabel())
        narrowForBadge(*detailTextLabel(), badgeFrame.origin.x, textWidth);

    m_multipartLabel->sizeToFit();
    textLabel()->sizeToFit();

    m_badge->setBadgeColorHighlighted(m_badgeColorHighlighted.value_or(TDBadgeView::defaultHighlightedColor));
    m_badge->setBadgeColor(m_badgeColor.value_or(TDBadgeView::defaultColor));
}

void TDBadgedCell::narrowForBadge(ui::View& label, double badgeX, double badgeTextWidth)
{
    auto frame = label.frame();
    if (badgeX > frame.maxX())
        return;
    // A label narrower than the badge would otherwise get a negative width.
    double width = std::max(0.0, frame.width() - (badgeTextWidth + 13) - badgeGap);
    label.setFrame({ frame.origin.x, frame.origin.y, width, frame.height() });
}

void TDBadgedCell::shadowLabels()
{
    for (ui::View* label : { static_cast<ui::View*>(textLabel().get()), static_cast<ui::View*>(m_multipartLabel.get()),
             static_cast<ui::View*>(detailTextLabel().get()) }) {
        if (!label)
            continue;
        label->layer().setShadowOffset({ 0, 1 });
        label->layer().setShadowRadius(1);
        label->layer().setShadowOpacity(0.8);
    }
}

void TDBadgedCell::setHighlighted(bool highlighted, bool animated)
{
    TableViewCell::setHighlighted(highlighted, animated);
    m_badge->setNeedsDisplay();
    if (m_showShadow)
        shadowLabels();
}

void TDBadgedCell::setSelected(bool selected, bool animated)
{
    TableViewCell::setSelected(selected, animated);
    m_badge->setNeedsDisplay();
}

void TDBadgedCell::setEditing(bool editing, bool animated)
{
    TableViewCell::setEditing(editing, animated);
    m_badge->setHidden(editing);
    m_badge->setNeedsDisplay();
    setNeedsDisplay();
}
