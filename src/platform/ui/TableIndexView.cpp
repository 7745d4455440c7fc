#include "platform/ui/TableIndexView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"

#include <algorithm>
#include <cmath>

namespace ui {

TableIndexView::TableIndexView(TableView& table)
    : m_table(table)
{
    setBackgroundColor(std::nullopt);
}

void TableIndexView::setTitles(std::vector<std::string> titles)
{
    m_titles = std::move(titles);
    setNeedsDisplay();
}

double TableIndexView::titleHeight() const
{
    if (m_titles.empty())
        return 0;
    // Spread over the height, but never further apart than a comfortable step.
    return std::min(16.0, (bounds().height() - 8) / m_titles.size());
}

int TableIndexView::indexAtPoint(gfx::Point point) const
{
    if (m_titles.empty())
        return -1;
    double step = titleHeight();
    double top = bounds().minY() + (bounds().height() - step * m_titles.size()) / 2;
    int index = static_cast<int>(std::floor((point.y - top) / step));
    return std::clamp(index, 0, static_cast<int>(m_titles.size()) - 1);
}

void TableIndexView::drawRect(gfx::GraphicsContext& context, const gfx::Rect&)
{
    double step = titleHeight();
    auto area = bounds();
    double top = area.minY() + (area.height() - step * m_titles.size()) / 2;
    auto font = gfx::Font::boldSystemFont(std::max(8.0, std::min(12.0, step - 2)));
    for (size_t index = 0; index < m_titles.size(); ++index)
        context.drawText(m_titles[index], { area.minX(), top + step * index, area.width(), step }, font, gfx::Color(0.4, 0.45, 0.5), gfx::TextAlignment::Center);
}

void TableIndexView::touchAt(const TouchSet& touches)
{
    auto touch = touches.anyObject();
    if (!touch)
        return;
    int index = indexAtPoint(touch->locationInView(this));
    if (index < 0 || index == m_lastIndex)
        return;
    m_lastIndex = index;
    m_table.selectSectionIndexTitle(index);
}

void TableIndexView::touchesBegan(const TouchSet& touches, const Event&)
{
    m_lastIndex = -1;
    touchAt(touches);
}

void TableIndexView::touchesMoved(const TouchSet& touches, const Event&)
{
    touchAt(touches);
}

std::string TableIndexView::treeAttributes() const
{
    std::string joined;
    for (auto& title : m_titles)
        joined += title;
    return "titles=\"" + joined + "\"";
}

}
