#include "platform/ui/NavigationBar.h"

#include "platform/ui/BarButtonView.h"
#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double barHeight = 44;
constexpr double sideMargin = 5;

}

std::shared_ptr<NavigationBar> NavigationBar::create(const gfx::Rect& frame)
{
    return std::make_shared<NavigationBar>(frame);
}

NavigationBar::NavigationBar(const gfx::Rect& frame)
    : Bar(frame, HairlineEdge::Bottom)
    , m_titleLabel(Label::create())
{
    m_titleLabel->setBackgroundColor(std::nullopt);
    m_titleLabel->setFont(gfx::Font::boldSystemFont(20));
    m_titleLabel->setTextAlignment(gfx::TextAlignment::Center);
    m_titleLabel->setAdjustsFontSizeToFitWidth(true);
    m_titleLabel->setMinimumFontSize(14);
    addSubview(m_titleLabel);
}

void NavigationBar::observe(const fnd::Ref<NavigationItem>& item)
{
    std::weak_ptr<NavigationBar> weakThis = sharedAs<NavigationBar>();
    item->setChangeHandler([weakThis] {
        if (auto bar = weakThis.lock())
            bar->itemsChanged();
    });
}

void NavigationBar::setItems(std::vector<fnd::Ref<NavigationItem>> items, bool)
{
    for (auto& item : m_items)
        item->setChangeHandler(nullptr);
    std::erase(items, nullptr);
    m_items = std::move(items);
    for (auto& item : m_items)
        observe(item);
    itemsChanged();
}

void NavigationBar::pushNavigationItem(fnd::Ref<NavigationItem> item, bool)
{
    if (!item)
        return;
    observe(item);
    m_items.push_back(std::move(item));
    itemsChanged();
}

fnd::Ref<NavigationItem> NavigationBar::popNavigationItem(bool)
{
    if (m_items.empty())
        return nullptr;
    auto item = std::move(m_items.back());
    m_items.pop_back();
    item->setChangeHandler(nullptr);
    itemsChanged();
    return item;
}

fnd::Ref<NavigationItem> NavigationBar::topItem() const
{
    return m_items.empty() ? nullptr : m_items.back();
}

fnd::Ref<NavigationItem> NavigationBar::backItem() const
{
    return m_items.size() < 2 ? nullptr : m_items[m_items.size() - 2];
}

std::string NavigationBar::backButtonTitle() const
{
    auto below = backItem();
    if (!below)
        return {};
    if (auto& back = below->backBarButtonItem(); back && !back->title().empty())
        return back->title();
    if (!below->title().empty())
        return below->title();
    return "Back";
}

fnd::Ref<BarButtonItem> NavigationBar::shownLeftItem() const
{
    auto top = topItem();
    if (!top)
        return nullptr;
    if (top->leftBarButtonItem())
        return top->leftBarButtonItem();
    if (!backItem() || top->hidesBackButton())
        return nullptr;
    return m_backButtonItem;
}

void NavigationBar::goBack()
{
    if (m_backHandler) {
        auto handler = m_backHandler;
        handler();
        return;
    }
    popNavigationItem(true);
}

void NavigationBar::itemsChanged()
{
    // The back button is made at once, so the shown items are right before the next layout.
    m_backButtonItem.reset();
    if (backItem()) {
        std::weak_ptr<NavigationBar> weakThis = sharedAs<NavigationBar>();
        m_backButtonItem = BarButtonItem::createWithTitle(backButtonTitle(), BarButtonItemStyle::Bordered, Action("back", [weakThis](const fnd::Id&) {
            if (auto bar = weakThis.lock())
                bar->goBack();
        }));
    }
    m_contentOutdated = true;
    setNeedsLayout();
}

std::shared_ptr<View> NavigationBar::makeItemView(const fnd::Ref<BarButtonItem>& item)
{
    if (!item)
        return nullptr;
    if (item->customView())
        return item->customView();
    auto itemTextColor = textColor();
    return std::make_shared<BarButtonView>(item, itemTextColor);
}

void NavigationBar::rebuildContent()
{
    for (auto* view : { &m_leftView, &m_rightView, &m_titleView }) {
        if (*view && (*view)->superviewPointer() == this)
            (*view)->removeFromSuperview();
        view->reset();
    }
    auto top = topItem();
    m_leftView = makeItemView(shownLeftItem());
    m_rightView = top ? makeItemView(top->rightBarButtonItem()) : nullptr;
    m_titleView = top ? top->titleView() : nullptr;
    for (auto& view : { m_leftView, m_rightView, m_titleView }) {
        if (view)
            addSubview(view);
    }
    m_titleLabel->setText(top && !top->titleView() ? top->title() : std::string());
    m_titleLabel->setTextColor(textColor());
    m_contentOutdated = false;
}

void NavigationBar::layoutSubviews()
{
    if (m_contentOutdated)
        rebuildContent();
    auto area = bounds();
    double itemHeight = std::min(30.0, std::max(0.0, area.size.height - 14));
    auto placeItem = [&](const std::shared_ptr<View>& view, const fnd::Ref<BarButtonItem>& item, bool atLeft) {
        if (!view || !item)
            return 0.0;
        double width = item->customView() ? view->frame().size.width : BarButtonView::preferredWidth(*item);
        double height = item->customView() ? view->frame().size.height : itemHeight;
        double x = atLeft ? area.minX() + sideMargin : area.maxX() - sideMargin - width;
        view->setFrame({ std::round(x), std::round(area.midY() - height / 2), width, height });
        return width + sideMargin;
    };
    auto top = topItem();
    double left = placeItem(m_leftView, shownLeftItem(), true);
    double right = placeItem(m_rightView, top ? top->rightBarButtonItem() : nullptr, false);
    // The title stays centred on the bar, clear of the buttons.
    double side = std::max(left, right) + sideMargin;
    double titleWidth = std::max(0.0, area.size.width - 2 * side);
    if (m_titleView) {
        auto size = m_titleView->frame().size;
        m_titleView->setFrame({ std::round(area.midX() - size.width / 2), std::round(area.midY() - size.height / 2), size.width, size.height });
    }
    m_titleLabel->setFrame({ area.minX() + side, area.minY(), titleWidth, area.size.height });
}

gfx::Size NavigationBar::sizeThatFits(gfx::Size limit) const
{
    return { limit.width > 0 ? limit.width : bounds().size.width, barHeight };
}

std::string NavigationBar::treeAttributes() const
{
    auto top = topItem();
    std::string text = "style=" + std::to_string(int(barStyle()));
    if (top)
        text += " title=\"" + top->title() + "\"";
    return text;
}

}
