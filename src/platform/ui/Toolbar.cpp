#include "platform/ui/Toolbar.h"

#include "platform/ui/BarButtonView.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double barMargin = 6;
constexpr double itemSpacing = 8;

}

void Toolbar::layOutItemViews()
{
    const auto& items = m_items;
    const auto& views = m_itemViews;
    auto bounds = this->bounds();
    const double margin = barMargin;
    const double spacing = itemSpacing;
    std::vector<double> widths;
    size_t flexibleCount = 0;
    double used = 0;
    for (size_t index = 0; index < items.size(); ++index) {
        auto& item = *items[index];
        double width = 0;
        if (item.systemItem() == BarButtonSystemItem::FlexibleSpace)
            ++flexibleCount;
        else if (item.customView())
            width = item.customView()->frame().size.width;
        else
            width = BarButtonView::preferredWidth(item);
        widths.push_back(width);
        used += width;
    }
    if (!items.empty())
        used += spacing * double(items.size() - 1);
    double leftover = std::max(0.0, bounds.size.width - 2 * margin - used);
    double flexibleWidth = flexibleCount ? leftover / double(flexibleCount) : 0;

    double x = bounds.minX() + margin;
    double itemHeight = std::min(30.0, std::max(0.0, bounds.size.height - 4));
    for (size_t index = 0; index < items.size(); ++index) {
        double width = items[index]->systemItem() == BarButtonSystemItem::FlexibleSpace ? flexibleWidth : widths[index];
        if (auto& view = views[index]) {
            double height = items[index]->customView() ? view->frame().size.height : itemHeight;
            view->setFrame({ std::round(x), std::round(bounds.midY() - height / 2), width, height });
        }
        x += width + spacing;
    }
}

std::shared_ptr<Toolbar> Toolbar::create(const gfx::Rect& frame)
{
    return std::make_shared<Toolbar>(frame);
}

Toolbar::Toolbar(const gfx::Rect& frame)
    : Bar(frame, HairlineEdge::Top)
{
}

void Toolbar::setItems(std::vector<fnd::Ref<BarButtonItem>> items, bool)
{
    for (auto& item : m_items)
        item->setChangeHandler(nullptr);
    std::erase(items, nullptr);
    m_items = std::move(items);
    std::weak_ptr<Toolbar> weakThis = sharedAs<Toolbar>();
    for (auto& item : m_items) {
        item->setChangeHandler([weakThis] {
            if (auto toolbar = weakThis.lock())
                toolbar->itemsChanged();
        });
    }
    itemsChanged();
}

void Toolbar::itemsChanged()
{
    m_itemViewsOutdated = true;
    setNeedsLayout();
}

void Toolbar::rebuildItemViews()
{
    for (auto& view : m_itemViews) {
        if (view && view->superviewPointer() == this)
            view->removeFromSuperview();
    }
    m_itemViews.clear();
    auto itemTextColor = textColor();
    for (auto& item : m_items) {
        std::shared_ptr<View> view;
        if (item->customView())
            view = item->customView();
        else if (!item->isSpace())
            view = std::make_shared<BarButtonView>(item, itemTextColor);
        if (view)
            addSubview(view);
        m_itemViews.push_back(view);
    }
    m_itemViewsOutdated = false;
}

std::shared_ptr<View> Toolbar::viewForItem(const BarButtonItem& item)
{
    layoutIfNeeded();
    for (size_t index = 0; index < m_items.size() && index < m_itemViews.size(); ++index) {
        if (m_items[index].get() == &item)
            return m_itemViews[index];
    }
    return nullptr;
}

void Toolbar::layoutSubviews()
{
    if (m_itemViewsOutdated)
        rebuildItemViews();
    layOutItemViews();
}

gfx::Size Toolbar::sizeThatFits(gfx::Size limit) const
{
    return { limit.width > 0 ? limit.width : bounds().size.width, 44 };
}

std::string Toolbar::treeAttributes() const
{
    std::string text = "style=" + std::to_string(int(barStyle()));
    if (isTranslucent())
        text += " translucent";
    return text;
}

}
