#include "platform/ui/ScrollView.h"

#include "platform/foundation/Number.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchSet.h"

#include <algorithm>

namespace ui {

std::shared_ptr<ScrollView> ScrollView::create(const gfx::Rect& frame)
{
    return std::make_shared<ScrollView>(frame);
}

ScrollView::ScrollView(const gfx::Rect& frame)
    : View(frame)
{
    setClipsToBounds(true);
    setMultipleTouchEnabled(true);
}

void ScrollView::setContentSize(gfx::Size size)
{
    m_contentSize = size;
    setNeedsLayout();
}

gfx::Point ScrollView::maximumContentOffset() const
{
    auto size = bounds().size;
    return { std::max(-m_contentInset.left, m_contentSize.width + m_contentInset.right - size.width),
        std::max(-m_contentInset.top, m_contentSize.height + m_contentInset.bottom - size.height) };
}

gfx::Point ScrollView::clampedContentOffset(gfx::Point offset) const
{
    auto maximum = maximumContentOffset();
    return { std::clamp(offset.x, -m_contentInset.left, maximum.x), std::clamp(offset.y, -m_contentInset.top, maximum.y) };
}

void ScrollView::setContentOffset(gfx::Point offset, bool)
{
    auto area = bounds();
    if (area.origin == offset)
        return;
    setBounds({ offset, area.size });
    setNeedsLayout();
    contentOffsetDidChange();
    if (auto delegate = m_delegate.lock())
        delegate->scrollViewDidScroll(*this);
}

void ScrollView::scrollRectToVisible(const gfx::Rect& rect, bool animated)
{
    auto visible = bounds();
    auto offset = visible.origin;
    if (rect.maxY() > visible.maxY())
        offset.y = rect.maxY() - visible.size.height;
    if (rect.minY() < offset.y)
        offset.y = rect.minY();
    if (rect.maxX() > visible.maxX())
        offset.x = rect.maxX() - visible.size.width;
    if (rect.minX() < offset.x)
        offset.x = rect.minX();
    setContentOffset(clampedContentOffset(offset), animated);
}

void ScrollView::touchesBegan(const TouchSet&, const Event&)
{
}

void ScrollView::touchesMoved(const TouchSet& touches, const Event&)
{
    auto touch = touches.anyObject();
    if (!touch || !m_scrollEnabled)
        return;
    // Measured in the superview, which does not move with the content.
    auto* reference = superviewPointer();
    auto now = touch->locationInView(reference);
    auto before = touch->previousLocationInView(reference);
    if (!m_dragging) {
        m_dragging = true;
        if (auto delegate = m_delegate.lock())
            delegate->scrollViewWillBeginDragging(*this);
    }
    auto offset = contentOffset();
    setContentOffset(clampedContentOffset({ offset.x - (now.x - before.x), offset.y - (now.y - before.y) }));
}

void ScrollView::touchesEnded(const TouchSet&, const Event&)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (auto delegate = m_delegate.lock())
        delegate->scrollViewDidEndDragging(*this, false);
}

void ScrollView::touchesCancelled(const TouchSet& touches, const Event& event)
{
    touchesEnded(touches, event);
}

std::string ScrollView::treeAttributes() const
{
    auto offset = contentOffset();
    return "offset=(" + fnd::formatDouble(offset.x) + ", " + fnd::formatDouble(offset.y) + ") content=(" + fnd::formatDouble(m_contentSize.width)
        + ", " + fnd::formatDouble(m_contentSize.height) + ")";
}

}
