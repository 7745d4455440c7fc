#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Rect.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PressTarget.h"
#include "platform/ui/Responder.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class ViewController;
class Window;

// Numbered as the platform numbered them.
enum class ContentMode {
    ScaleToFill = 0,
    ScaleAspectFit = 1,
    ScaleAspectFill = 2,
    Redraw = 3,
    Center = 4,
    Top = 5,
    Bottom = 6,
    Left = 7,
    Right = 8,
    TopLeft = 9,
    TopRight = 10,
    BottomLeft = 11,
    BottomRight = 12,
};

// Bits of View::autoresizingMask, with the platform's values (45 = flexible margins all round).
namespace Autoresizing {
constexpr unsigned None = 0;
constexpr unsigned FlexibleLeftMargin = 1 << 0;
constexpr unsigned FlexibleWidth = 1 << 1;
constexpr unsigned FlexibleRightMargin = 1 << 2;
constexpr unsigned FlexibleTopMargin = 1 << 3;
constexpr unsigned FlexibleHeight = 1 << 4;
constexpr unsigned FlexibleBottomMargin = 1 << 5;
}

// A rectangle on screen with subviews. Geometry is kept as the platform kept it: a centre in the
// superview's coordinates, bounds (an origin for the view's own coordinates and a size) and a
// transform applied about the centre; the frame is derived from them.
//
// Views live in shared pointers (View::create or std::make_shared). A view owns its subviews; the
// link to the superview is a back pointer that the superview clears, so subviews may be added from
// a constructor.
class View : public Responder {
public:
    static std::shared_ptr<View> create(const gfx::Rect& frame = {});
    explicit View(const gfx::Rect& frame = {});
    ~View() override;

    std::string_view className() const override { return "View"; }
    std::string description() const override;

    // Geometry.
    gfx::Rect frame() const;
    void setFrame(const gfx::Rect&);
    const gfx::Rect& bounds() const { return m_bounds; }
    void setBounds(const gfx::Rect&);
    gfx::Point center() const { return m_center; }
    void setCenter(gfx::Point);
    const gfx::AffineTransform& transform() const { return m_transform; }
    void setTransform(const gfx::AffineTransform&);

    // Appearance.
    double alpha() const { return m_alpha; }
    void setAlpha(double);
    bool isHidden() const { return m_hidden; }
    virtual void setHidden(bool);
    // None is transparent.
    std::optional<gfx::Color> backgroundColor() const { return m_backgroundColor; }
    virtual void setBackgroundColor(std::optional<gfx::Color>);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque) { m_opaque = opaque; }
    bool clipsToBounds() const { return m_layer.masksToBounds(); }
    void setClipsToBounds(bool clips) { m_layer.setMasksToBounds(clips); }
    ContentMode contentMode() const { return m_contentMode; }
    void setContentMode(ContentMode mode) { m_contentMode = mode; }
    Layer& layer() { return m_layer; }
    const Layer& layer() const { return m_layer; }

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // This view or the first descendant (depth first) with the tag.
    std::shared_ptr<View> viewWithTag(int);

    // Interaction.
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    bool isMultipleTouchEnabled() const { return m_multipleTouchEnabled; }
    void setMultipleTouchEnabled(bool enabled) { m_multipleTouchEnabled = enabled; }
    bool isExclusiveTouch() const { return m_exclusiveTouch; }
    void setExclusiveTouch(bool exclusive) { m_exclusiveTouch = exclusive; }

    // The hierarchy. Subviews are drawn in order, the last on top.
    std::shared_ptr<View> superview() const;
    View* superviewPointer() const { return m_superview; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return m_subviews; }
    // The window at the root of this view's tree, if the root is one.
    std::shared_ptr<Window> window() const;
    Window* windowPointer() const;

    // Adding a view that has another superview moves it; adding a view to itself or to one of its
    // own descendants is refused.
    void addSubview(std::shared_ptr<View>);
    void insertSubviewAtIndex(std::shared_ptr<View>, size_t index);
    void insertSubviewAboveSubview(std::shared_ptr<View>, const View& sibling);
    void insertSubviewBelowSubview(std::shared_ptr<View>, const View& sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const View&);
    void sendSubviewToBack(const View&);
    bool isDescendantOfView(const View*) const;

    // Hooks for subclasses.
    virtual void didAddSubview(View&) { }
    virtual void willRemoveSubview(View&) { }
    virtual void willMoveToSuperview(View*) { }
    virtual void didMoveToSuperview() { }
    virtual void willMoveToWindow(Window*) { }
    virtual void didMoveToWindow() { }

    // Layout. Resizing a view, adding a subview or asking for it marks a view for layout; layout
    // runs when the screen is drawn, before touches are delivered, or through layoutIfNeeded().
    unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool autoresizes) { m_autoresizesSubviews = autoresizes; }
    void setNeedsLayout() { m_needsLayout = true; }
    bool needsLayout() const { return m_needsLayout; }
    // Lays out this view when it is marked, then its subviews, top down.
    void layoutIfNeeded();
    virtual void layoutSubviews() { }
    virtual gfx::Size sizeThatFits(gfx::Size) const;
    void sizeToFit();

    // Drawing. drawRect draws the view's own content in its bounds' coordinates; the renderer has
    // already filled the background and draws the subviews and the layer's border afterwards.
    virtual void drawRect(gfx::GraphicsContext&, const gfx::Rect&) { }
    void setNeedsDisplay() { m_needsDisplay = true; }
    bool needsDisplay() const { return m_needsDisplay; }
    void clearNeedsDisplay() { m_needsDisplay = false; }

    // Hit testing, in the view's own coordinates. A hidden, transparent or non-interactive view, or
    // a point outside the bounds, hits nothing; otherwise the frontmost subview that hits wins.
    virtual std::shared_ptr<View> hitTest(gfx::Point, const Event*);
    virtual bool pointInside(gfx::Point, const Event*) const;

    // Coordinates. A null view means the window (the root of the tree).
    gfx::Point convertPointToView(gfx::Point, const View*) const;
    gfx::Point convertPointFromView(gfx::Point, const View*) const;
    gfx::Rect convertRectToView(const gfx::Rect&, const View*) const;
    gfx::Rect convertRectFromView(const gfx::Rect&, const View*) const;
    // The screen's coordinates: what the touch driver and the terminal use.
    gfx::Point convertPointToScreen(gfx::Point) const;
    gfx::Point convertPointFromScreen(gfx::Point) const;
    gfx::Rect convertRectToScreen(const gfx::Rect&) const;
    // Between this view's coordinates and its superview's.
    gfx::Point convertPointToSuperview(gfx::Point) const;
    gfx::Point convertPointFromSuperview(gfx::Point) const;

    // The responder chain: a controller's view answers its controller, other views their superview.
    std::shared_ptr<Responder> nextResponder() const override;
    // The controller whose view this is.
    std::shared_ptr<ViewController> viewController() const { return m_viewController.lock(); }
    void setViewController(const std::shared_ptr<ViewController>&);

    // Keyboard focus within the view's window.
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isFirstResponder() const override;
    // Asks the first responder in this view's subtree to resign; answers whether none is left.
    bool endEditing(bool force);

    // Visible on screen: not hidden, not transparent, and so are its ancestors.
    bool isVisibleOnScreen() const;

    // What a user can press here by its text (buttons, bar items, table rows). The terminal collects
    // them from the front of a screen to its back.
    virtual void collectPressTargets(PressTargets&) { }
    // Extra facts for the view tree as text, e.g. text="Hello".
    virtual std::string treeAttributes() const { return {}; }
    // One line per view, indented by depth.
    std::string treeDescription() const;

    // Animations, as the platform offered them. Values set inside an animation apply at once; the
    // animation is recorded and its end is reported on the next turn of the main run loop.
    static void beginAnimations(std::string name, const void* context = nullptr);
    static void setAnimationDuration(double seconds);
    static void setAnimationDelay(double seconds);
    static void setAnimationCurve(int curve);
    static void setAnimationBeginsFromCurrentState(bool);
    static void setAnimationDidStop(std::function<void()>);
    static void commitAnimations();
    static void animateWithDuration(double seconds, std::function<void()> animations, std::function<void(bool finished)> completion = {});
    static void animateWithDuration(double seconds, double delay, std::function<void()> animations, std::function<void(bool finished)> completion);
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool);

private:
    void attachSubview(std::shared_ptr<View>, size_t index);
    void detachFromSuperview();
    void prepareWindowChange(Window* oldWindow, Window* newWindow);
    void finishWindowChange();
    gfx::Point boundsCenter() const;
    void appendTree(std::string&, int depth) const;

    View* m_superview = nullptr;
    std::vector<std::shared_ptr<View>> m_subviews;
    std::weak_ptr<ViewController> m_viewController;

    gfx::Point m_center;
    gfx::Rect m_bounds;
    gfx::AffineTransform m_transform;
    double m_alpha = 1;
    bool m_hidden = false;
    std::optional<gfx::Color> m_backgroundColor;
    bool m_opaque = true;
    ContentMode m_contentMode = ContentMode::ScaleToFill;
    Layer m_layer { *this };
    int m_tag = 0;

    bool m_userInteractionEnabled = true;
    bool m_multipleTouchEnabled = false;
    bool m_exclusiveTouch = false;

    unsigned m_autoresizingMask = Autoresizing::None;
    bool m_autoresizesSubviews = true;
    bool m_needsLayout = true;
    bool m_needsDisplay = true;
};

}
