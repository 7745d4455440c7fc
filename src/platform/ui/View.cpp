#include "platform/ui/View.h"

#include "platform/foundation/Number.h"
#include "platform/ui/Animator.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

std::string formatRect(const gfx::Rect& rect)
{
    return "(" + fnd::formatDouble(rect.origin.x) + ", " + fnd::formatDouble(rect.origin.y) + ", "
        + fnd::formatDouble(rect.size.width) + ", " + fnd::formatDouble(rect.size.height) + ")";
}

gfx::Rect boundingBox(const gfx::Point (&corners)[4])
{
    double minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (auto& corner : corners) {
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    return { minX, minY, maxX - minX, maxY - minY };
}

template<typename Convert>
gfx::Rect convertRect(const gfx::Rect& rect, Convert convert)
{
    auto standard = rect.standardized();
    gfx::Point corners[4] = {
        convert(gfx::Point(standard.minX(), standard.minY())),
        convert(gfx::Point(standard.maxX(), standard.minY())),
        convert(gfx::Point(standard.minX(), standard.maxY())),
        convert(gfx::Point(standard.maxX(), standard.maxY())),
    };
    return boundingBox(corners);
}

}

std::shared_ptr<View> View::create(const gfx::Rect& frame)
{
    return std::make_shared<View>(frame);
}

View::View(const gfx::Rect& frame)
{
    setFrame(frame);
}

View::~View()
{
    for (auto& subview : m_subviews)
        subview->m_superview = nullptr;
}

std::string View::description() const
{
    return "<" + std::string(className()) + " frame=" + formatRect(frame()) + ">";
}

gfx::Rect View::frame() const
{
    gfx::Rect centred { -m_bounds.size.width / 2, -m_bounds.size.height / 2, m_bounds.size.width, m_bounds.size.height };
    if (m_transform.isIdentity())
        return centred.offsetBy(m_center.x, m_center.y);
    return m_transform.applyTo(centred).offsetBy(m_center.x, m_center.y);
}

void View::setFrame(const gfx::Rect& frame)
{
    auto standard = frame.isNull() ? gfx::Rect() : frame.standardized();
    m_center = { standard.midX(), standard.midY() };
    setBounds({ m_bounds.origin, standard.size });
}

void View::setBounds(const gfx::Rect& bounds)
{
    bool sizeChanged = bounds.size != m_bounds.size;
    m_bounds = bounds;
    if (sizeChanged) {
        setNeedsLayout();
        setNeedsDisplay();
    }
}

void View::setCenter(gfx::Point center)
{
    m_center = center;
}

void View::setTransform(const gfx::AffineTransform& transform)
{
    m_transform = transform;
}

void View::setAlpha(double alpha)
{
    m_alpha = std::clamp(alpha, 0.0, 1.0);
}

void View::setHidden(bool hidden)
{
    m_hidden = hidden;
}

void View::setBackgroundColor(std::optional<gfx::Color> color)
{
    m_backgroundColor = color;
    setNeedsDisplay();
}

std::shared_ptr<View> View::viewWithTag(int tag)
{
    if (m_tag == tag)
        return sharedAs<View>();
    for (auto& subview : m_subviews) {
        if (auto found = subview->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

std::shared_ptr<View> View::superview() const
{
    if (!m_superview)
        return nullptr;
    return std::static_pointer_cast<View>(m_superview->weak_from_this().lock());
}

Window* View::windowPointer() const
{
    const View* root = this;
    while (root->m_superview)
        root = root->m_superview;
    return dynamic_cast<Window*>(const_cast<View*>(root));
}

std::shared_ptr<Window> View::window() const
{
    auto* window = windowPointer();
    return window ? window->sharedAs<Window>() : nullptr;
}

bool View::isDescendantOfView(const View* ancestor) const
{
    for (const View* view = this; view; view = view->m_superview) {
        if (view == ancestor)
            return true;
    }
    return false;
}

void View::addSubview(std::shared_ptr<View> view)
{
    insertSubviewAtIndex(std::move(view), m_subviews.size());
}

void View::insertSubviewAtIndex(std::shared_ptr<View> view, size_t index)
{
    if (!view || isDescendantOfView(view.get()))
        return;
    if (view->m_superview == this) {
        // Moving within the same superview: take it out first so the index counts the others.
        auto position = std::find(m_subviews.begin(), m_subviews.end(), view);
        size_t oldIndex = size_t(position - m_subviews.begin());
        m_subviews.erase(position);
        if (index > oldIndex)
            --index;
        m_subviews.insert(m_subviews.begin() + std::min(index, m_subviews.size()), std::move(view));
        setNeedsLayout();
        return;
    }
    attachSubview(std::move(view), index);
}

void View::insertSubviewAboveSubview(std::shared_ptr<View> view, const View& sibling)
{
    auto position = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& subview) { return subview.get() == &sibling; });
    size_t index = position == m_subviews.end() ? m_subviews.size() : size_t(position - m_subviews.begin()) + 1;
    insertSubviewAtIndex(std::move(view), index);
}

void View::insertSubviewBelowSubview(std::shared_ptr<View> view, const View& sibling)
{
    auto position = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& subview) { return subview.get() == &sibling; });
    size_t index = position == m_subviews.end() ? m_subviews.size() : size_t(position - m_subviews.begin());
    insertSubviewAtIndex(std::move(view), index);
}

void View::attachSubview(std::shared_ptr<View> view, size_t index)
{
    Window* oldWindow = view->windowPointer();
    Window* newWindow = windowPointer();
    bool windowChanges = oldWindow != newWindow;
    view->willMoveToSuperview(this);
    if (windowChanges)
        view->prepareWindowChange(oldWindow, newWindow);
    if (view->m_superview)
        view->detachFromSuperview();
    index = std::min(index, m_subviews.size());
    m_subviews.insert(m_subviews.begin() + index, view);
    view->m_superview = this;
    setNeedsLayout();
    if (windowChanges)
        view->finishWindowChange();
    view->didMoveToSuperview();
    didAddSubview(*view);
}

void View::detachFromSuperview()
{
    View* superview = m_superview;
    superview->willRemoveSubview(*this);
    auto& siblings = superview->m_subviews;
    auto position = std::find_if(siblings.begin(), siblings.end(), [&](auto& subview) { return subview.get() == this; });
    // The caller keeps this view alive; erasing only drops the superview's reference.
    if (position != siblings.end())
        siblings.erase(position);
    m_superview = nullptr;
    superview->setNeedsLayout();
}

void View::removeFromSuperview()
{
    if (!m_superview)
        return;
    // The superview may hold the last reference to this view.
    auto protectedThis = weak_from_this().lock();
    Window* oldWindow = windowPointer();
    willMoveToSuperview(nullptr);
    if (oldWindow)
        prepareWindowChange(oldWindow, nullptr);
    detachFromSuperview();
    if (oldWindow)
        finishWindowChange();
    didMoveToSuperview();
}

void View::prepareWindowChange(Window* oldWindow, Window* newWindow)
{
    if (oldWindow) {
        auto firstResponder = oldWindow->firstResponder();
        auto* focused = dynamic_cast<View*>(firstResponder.get());
        if (focused && focused->isDescendantOfView(this)) {
            focused->resignFirstResponder();
            oldWindow->clearFirstResponder();
        }
    }
    willMoveToWindow(newWindow);
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->prepareWindowChange(nullptr, newWindow);
}

void View::finishWindowChange()
{
    didMoveToWindow();
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->finishWindowChange();
}

void View::bringSubviewToFront(const View& subview)
{
    auto position = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& view) { return view.get() == &subview; });
    if (position == m_subviews.end())
        return;
    std::rotate(position, position + 1, m_subviews.end());
}

void View::sendSubviewToBack(const View& subview)
{
    auto position = std::find_if(m_subviews.begin(), m_subviews.end(), [&](auto& view) { return view.get() == &subview; });
    if (position == m_subviews.end())
        return;
    std::rotate(m_subviews.begin(), position, position + 1);
}

void View::layoutIfNeeded()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSubviews();
    }
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->layoutIfNeeded();
}

gfx::Size View::sizeThatFits(gfx::Size) const
{
    return m_bounds.size;
}

void View::sizeToFit()
{
    auto size = sizeThatFits(m_bounds.size);
    auto current = frame();
    setFrame({ current.origin, size });
}

std::shared_ptr<View> View::hitTest(gfx::Point point, const Event* event)
{
    if (m_hidden || !m_userInteractionEnabled || m_alpha < 0.01)
        return nullptr;
    if (!pointInside(point, event))
        return nullptr;
    auto subviews = m_subviews;
    for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview) {
        if (auto hit = (*subview)->hitTest((*subview)->convertPointFromSuperview(point), event))
            return hit;
    }
    return sharedAs<View>();
}

bool View::pointInside(gfx::Point point, const Event*) const
{
    return m_bounds.containsPoint(point);
}

gfx::Point View::boundsCenter() const
{
    return { m_bounds.origin.x + m_bounds.size.width / 2, m_bounds.origin.y + m_bounds.size.height / 2 };
}

gfx::Point View::convertPointToSuperview(gfx::Point point) const
{
    auto offset = point - boundsCenter();
    if (!m_transform.isIdentity())
        offset = m_transform.applyTo(offset);
    return m_center + offset;
}

gfx::Point View::convertPointFromSuperview(gfx::Point point) const
{
    auto offset = point - m_center;
    if (!m_transform.isIdentity())
        offset = m_transform.inverted().applyTo(offset);
    return offset + boundsCenter();
}

gfx::Point View::convertPointToScreen(gfx::Point point) const
{
    for (const View* view = this; view; view = view->m_superview)
        point = view->convertPointToSuperview(point);
    return point;
}

gfx::Point View::convertPointFromScreen(gfx::Point point) const
{
    std::vector<const View*> chain;
    for (const View* view = this; view; view = view->m_superview)
        chain.push_back(view);
    for (auto view = chain.rbegin(); view != chain.rend(); ++view)
        point = (*view)->convertPointFromSuperview(point);
    return point;
}

gfx::Rect View::convertRectToScreen(const gfx::Rect& rect) const
{
    return convertRect(rect, [&](gfx::Point point) { return convertPointToScreen(point); });
}

gfx::Point View::convertPointToView(gfx::Point point, const View* view) const
{
    if (view)
        return view->convertPointFromScreen(convertPointToScreen(point));
    for (const View* ancestor = this; ancestor->m_superview; ancestor = ancestor->m_superview)
        point = ancestor->convertPointToSuperview(point);
    return point;
}

gfx::Point View::convertPointFromView(gfx::Point point, const View* view) const
{
    if (view)
        return convertPointFromScreen(view->convertPointToScreen(point));
    std::vector<const View*> chain;
    for (const View* ancestor = this; ancestor->m_superview; ancestor = ancestor->m_superview)
        chain.push_back(ancestor);
    for (auto ancestor = chain.rbegin(); ancestor != chain.rend(); ++ancestor)
        point = (*ancestor)->convertPointFromSuperview(point);
    return point;
}

gfx::Rect View::convertRectToView(const gfx::Rect& rect, const View* view) const
{
    return convertRect(rect, [&](gfx::Point point) { return convertPointToView(point, view); });
}

gfx::Rect View::convertRectFromView(const gfx::Rect& rect, const View* view) const
{
    return convertRect(rect, [&](gfx::Point point) { return convertPointFromView(point, view); });
}

std::shared_ptr<Responder> View::nextResponder() const
{
    if (auto controller = m_viewController.lock())
        return controller;
    return superview();
}

void View::setViewController(const std::shared_ptr<ViewController>& controller)
{
    m_viewController = controller;
}

bool View::becomeFirstResponder()
{
    if (!canBecomeFirstResponder())
        return false;
    auto* window = windowPointer();
    if (!window)
        return false;
    auto current = window->firstResponder();
    if (current.get() == this)
        return true;
    if (current && !current->resignFirstResponder())
        return false;
    window->setFirstResponder(sharedAs<Responder>());
    return true;
}

bool View::resignFirstResponder()
{
    auto* window = windowPointer();
    if (window && window->firstResponder().get() == this)
        window->clearFirstResponder();
    return true;
}

bool View::isFirstResponder() const
{
    auto* window = windowPointer();
    return window && window->firstResponder().get() == this;
}

bool View::endEditing(bool force)
{
    auto* window = windowPointer();
    if (!window)
        return true;
    auto firstResponder = window->firstResponder();
    auto* focused = dynamic_cast<View*>(firstResponder.get());
    if (!focused || !focused->isDescendantOfView(this))
        return true;
    bool resigned = focused->resignFirstResponder();
    if (force && !resigned)
        window->clearFirstResponder();
    return resigned || force;
}

bool View::isVisibleOnScreen() const
{
    for (const View* view = this; view; view = view->m_superview) {
        if (view->m_hidden || view->m_alpha < 0.01)
            return false;
    }
    return windowPointer();
}

std::string View::treeDescription() const
{
    std::string text;
    appendTree(text, 0);
    return text;
}

void View::appendTree(std::string& text, int depth) const
{
    text.append(size_t(depth) * 2, ' ');
    text += className();
    text += ' ';
    text += formatRect(frame());
    if (auto controller = m_viewController.lock()) {
        text += " controller=";
        text += controller->className();
    }
    if (m_hidden)
        text += " hidden";
    if (m_alpha != 1)
        text += " alpha=" + fnd::formatDouble(m_alpha);
    if (m_tag)
        text += " tag=" + std::to_string(m_tag);
    if (!m_transform.isIdentity()) {
        text += " transform=[" + fnd::formatDouble(m_transform.a) + " " + fnd::formatDouble(m_transform.b) + " "
            + fnd::formatDouble(m_transform.c) + " " + fnd::formatDouble(m_transform.d) + " "
            + fnd::formatDouble(m_transform.tx) + " " + fnd::formatDouble(m_transform.ty) + "]";
    }
    auto attributes = treeAttributes();
    if (!attributes.empty()) {
        text += ' ';
        text += attributes;
    }
    text += '\n';
    for (auto& subview : m_subviews)
        subview->appendTree(text, depth + 1);
}

void View::beginAnimations(std::string name, const void* context)
{
    Animator::shared().begin(std::move(name), context);
}

void View::setAnimationDuration(double seconds)
{
    Animator::shared().setDuration(seconds);
}

void View::setAnimationDelay(double seconds)
{
    Animator::shared().setDelay(seconds);
}

void View::setAnimationCurve(int curve)
{
    Animator::shared().setCurve(curve);
}

void View::setAnimationBeginsFromCurrentState(bool fromCurrentState)
{
    Animator::shared().setBeginsFromCurrentState(fromCurrentState);
}

void View::setAnimationDidStop(std::function<void()> handler)
{
    Animator::shared().setDidStop(std::move(handler));
}

void View::commitAnimations()
{
    Animator::shared().commit();
}

void View::animateWithDuration(double seconds, std::function<void()> animations, std::function<void(bool)> completion)
{
    Animator::shared().animate(seconds, 0, std::move(animations), std::move(completion));
}

void View::animateWithDuration(double seconds, double delay, std::function<void()> animations, std::function<void(bool)> completion)
{
    Animator::shared().animate(seconds, delay, std::move(animations), std::move(completion));
}

bool View::areAnimationsEnabled()
{
    return Animator::shared().areEnabled();
}

void View::setAnimationsEnabled(bool enabled)
{
    Animator::shared().setEnabled(enabled);
}

}
