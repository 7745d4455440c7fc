#include "platform/ui/ActionSheet.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Device.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/Toolbar.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double buttonHeight = 44;
constexpr double spacing = 8;
constexpr double margin = 20;
constexpr double popoverWidth = 272;

}

ActionSheetDelegate::~ActionSheetDelegate() = default;

std::shared_ptr<ActionSheet> ActionSheet::create(std::string title, const std::shared_ptr<ActionSheetDelegate>& delegate,
    std::string cancelButtonTitle, std::string destructiveButtonTitle, std::vector<std::string> otherButtonTitles)
{
    auto sheet = std::make_shared<ActionSheet>();
    sheet->m_title = std::move(title);
    sheet->m_delegate = delegate;
    if (!destructiveButtonTitle.empty())
        sheet->m_destructiveButtonIndex = sheet->addButtonWithTitle(std::move(destructiveButtonTitle));
    for (auto& other : otherButtonTitles)
        sheet->addButtonWithTitle(std::move(other));
    if (!cancelButtonTitle.empty())
        sheet->setCancelButtonIndex(sheet->addButtonWithTitle(std::move(cancelButtonTitle)));
    return sheet;
}

ActionSheet::ActionSheet() = default;

void ActionSheet::layOutPanel()
{
    double width = m_inPopover ? popoverWidth : Screen::mainScreen().bounds().width();
    double y = spacing;
    if (!m_title.empty())
        y += gfx::TextLayout::sizeOfText(m_title, gfx::Font::systemFont(13), { width - 24, 0 }, gfx::LineBreakMode::WordWrap).height + spacing;
    std::vector<gfx::Rect> frames;
    for (int index = 0; index < numberOfButtons(); ++index) {
        // The cancel button stands apart from the others.
        if (index == cancelButtonIndex() && index > 0)
            y += spacing;
        frames.push_back({ margin, y, width - 2 * margin, buttonHeight });
        y += buttonHeight + spacing;
    }
    double height = y + spacing;
    setButtonFrames(std::move(frames));
    if (m_inPopover) {
        auto screen = Screen::mainScreen().bounds();
        double x = std::clamp(m_anchor.midX() - width / 2, 0.0, std::max(0.0, screen.width() - width));
        double top = m_anchor.maxY() + height <= screen.height() ? m_anchor.maxY() : std::max(0.0, m_anchor.minY() - height);
        setFrame({ x, top, width, height });
        return;
    }
    auto screen = Screen::mainScreen().bounds();
    setFrame({ 0, screen.height() - height, width, height });
}

void ActionSheet::present(std::string from, const gfx::Rect& anchor, bool popover)
{
    if (isVisible())
        return;
    auto protect = sharedAs<ActionSheet>();
    m_shownFrom = std::move(from);
    m_anchor = anchor;
    m_inPopover = popover && Device::current().userInterfaceIdiom() == UserInterfaceIdiom::Pad;
    if (auto delegate = this->delegate())
        delegate->willPresentActionSheet(*this);
    showPanel(m_title, {});
    std::weak_ptr<ActionSheet> weakThis = protect;
    fnd::RunLoop::main().post([weakThis] {
        auto sheet = weakThis.lock();
        // Taken away before it finished appearing: it never did.
        if (!sheet || !sheet->isVisible())
            return;
        if (auto delegate = sheet->delegate())
            delegate->didPresentActionSheet(*sheet);
    });
}

void ActionSheet::showInView(View& view)
{
    present("view", view.convertRectToScreen(view.bounds()), false);
}

void ActionSheet::showFromToolbar(Toolbar& toolbar)
{
    present("toolbar", toolbar.convertRectToScreen(toolbar.bounds()), false);
}

void ActionSheet::showFromTabBar(TabBar& tabBar)
{
    present("tab bar", tabBar.convertRectToScreen(tabBar.bounds()), false);
}

void ActionSheet::showFromBarButtonItem(BarButtonItem& item, bool)
{
    gfx::Rect anchor;
    if (auto view = item.customView())
        anchor = view->convertRectToScreen(view->bounds());
    present("bar item", anchor, true);
}

void ActionSheet::showFromRect(const gfx::Rect& rect, View& view, bool)
{
    present("rect", view.convertRectToScreen(rect), true);
}

void ActionSheet::tellDelegateClicked(int index)
{
    if (auto delegate = this->delegate())
        delegate->clickedButtonAtIndex(*this, index);
}

void ActionSheet::tellDelegateWillDismiss(int index)
{
    if (auto delegate = this->delegate())
        delegate->willDismissWithButtonIndex(*this, index);
}

void ActionSheet::tellDelegateDidDismiss(int index)
{
    if (auto delegate = this->delegate())
        delegate->didDismissWithButtonIndex(*this, index);
}

void ActionSheet::drawRect(gfx::GraphicsContext& context, const gfx::Rect& rect)
{
    auto area = bounds();
    context.setFillColor(m_style == ActionSheetStyle::BlackOpaque ? gfx::Color::black() : gfx::Color(0.1, 0.12, 0.16, 0.9));
    context.fillRect(area);
    if (!m_title.empty()) {
        context.drawText(m_title, { 12, spacing, area.width() - 24, area.height() }, gfx::Font::systemFont(13), gfx::Color::grey(0.85),
            gfx::TextAlignment::Center);
    }
    ButtonPanel::drawRect(context, rect);
}

std::string ActionSheet::treeAttributes() const
{
    std::string text = "title=\"" + m_title + "\" " + ButtonPanel::treeAttributes();
    if (m_destructiveButtonIndex >= 0)
        text += " destructive=" + std::to_string(m_destructiveButtonIndex);
    if (m_inPopover)
        text += " popover";
    return text;
}

}
