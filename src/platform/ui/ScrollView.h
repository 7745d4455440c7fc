#pragma once

#include "platform/ui/EdgeInsets.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/View.h"

#include <memory>

namespace ui {

// A view that shows part of a larger content: the content offset is the bounds' origin. A finger
// dragged across it (or across subviews that pass their touches on) scrolls it, within the content.
class ScrollView : public View {
public:
    static std::shared_ptr<ScrollView> create(const gfx::Rect& frame = {});
    explicit ScrollView(const gfx::Rect& frame = {});

    std::string_view className() const override { return "ScrollView"; }

    gfx::Size contentSize() const { return m_contentSize; }
    void setContentSize(gfx::Size);
    gfx::Point contentOffset() const { return bounds().origin; }
    void setContentOffset(gfx::Point, bool animated = false);
    EdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(const EdgeInsets& insets) { m_contentInset = insets; }
    // The offsets the content may take: from minus the top-left inset to the content's end.
    gfx::Point maximumContentOffset() const;
    gfx::Point clampedContentOffset(gfx::Point) const;
    // Scrolls as little as needed to show the rectangle (in content coordinates).
    void scrollRectToVisible(const gfx::Rect&, bool animated);

    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }
    bool isDragging() const { return m_dragging; }

    std::shared_ptr<ScrollViewDelegate> scrollDelegate() const { return m_delegate.lock(); }
    void setScrollDelegate(const std::shared_ptr<ScrollViewDelegate>& delegate) { m_delegate = delegate; }

    void touchesBegan(const TouchSet&, const Event&) override;
    void touchesMoved(const TouchSet&, const Event&) override;
    void touchesEnded(const TouchSet&, const Event&) override;
    void touchesCancelled(const TouchSet&, const Event&) override;
    std::string treeAttributes() const override;

protected:
    // Subclasses (tables) learn that the offset changed.
    virtual void contentOffsetDidChange() { }

private:
    gfx::Size m_contentSize;
    EdgeInsets m_contentInset;
    bool m_scrollEnabled = true;
    bool m_dragging = false;
    std::weak_ptr<ScrollViewDelegate> m_delegate;
};

}
