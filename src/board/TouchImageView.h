#pragma once

#include "board/TouchImageBadgeView.h"
#include "board/TouchImageTransform.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Color.h"
#include "platform/ui/ImageView.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BrenzoViewController;

namespace ui {
class Label;
}

// One picture of the board: the background, or a contact, web or placeholder picture on it. It
// shows its image with a title below and a badge in its lower right corner. A tap runs its action
// 0.4 seconds later (a call, a web request, or the phone-number picker for a placeholder); a double
// tap opens the picker. In the board's edit mode, touches select it and move, scale and rotate it
// together with its children.
//
// The board is a two-level tree: the background picture owns the other pictures as its children,
// each of which knows the background as its parent. In the view tree they are all siblings.
class TouchImageView : public ui::ImageView {
public:
    // Kinds of picture.
    static constexpr std::string_view backgroundType = "background";
    static constexpr std::string_view placeholderType = "unknown";
    static constexpr std::string_view phoneType = "tel";
    static constexpr std::string_view webType = "http";
    static constexpr std::string_view noActionType = "none";

    static constexpr std::string_view placeholderImageName = "contact-placeholder.png";
    static constexpr double placeholderWidth = 90;
    static constexpr double tapActionDelay = 0.4;
    static constexpr gfx::Color defaultBadgeColor { 1, 0.8, 10.0 / 255, 1 };

    static std::shared_ptr<TouchImageView> create(const gfx::Rect& frame = {});
    explicit TouchImageView(const gfx::Rect& frame = {});
    ~TouchImageView() override;

    std::string_view className() const override { return "TouchImageView"; }

    // The board tree.
    const std::vector<std::shared_ptr<TouchImageView>>& children() const { return m_children; }
    void addChild(std::shared_ptr<TouchImageView>);
    void removeChild(const TouchImageView&);
    std::shared_ptr<TouchImageView> parent() const { return m_parent.lock(); }
    void setParent(const std::shared_ptr<TouchImageView>& parent) { m_parent = parent; }

    // The board controller. Named apart from View::viewController(), which is the controller whose
    // view a view is.
    std::shared_ptr<BrenzoViewController> boardController() const { return m_boardController.lock(); }
    void setBoardController(const std::shared_ptr<BrenzoViewController>& controller) { m_boardController = controller; }

    // The committed transform; the current one runs ahead of it only during an edit-mode gesture.
    const gfx::AffineTransform& originalTransform() const { return m_originalTransform; }
    void setOriginalTransform(const gfx::AffineTransform& transform) { m_originalTransform = transform; }
    // A bundle image name or a picture file name in the documents folder.
    const std::optional<std::string>& imageName() const { return m_imageName; }
    void setImageName(std::optional<std::string> name) { m_imageName = std::move(name); }
    // The frame the picture was made with, before any transform.
    const gfx::Rect& origSize() const { return m_origSize; }
    void setOrigSize(const gfx::Rect& rect) { m_origSize = rect; }
    bool isMovable() const { return m_movable; }
    void setMovable(bool movable) { m_movable = movable; }

    const std::optional<std::string>& type() const { return m_type; }
    void setType(std::optional<std::string>);
    bool hasType(std::string_view type) const { return m_type && *m_type == type; }
    // A "tel:" address or a web address.
    const std::optional<std::string>& parameters() const { return m_parameters; }
    void setParameters(std::optional<std::string> parameters) { m_parameters = std::move(parameters); }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string>);
    // An empty or absent text hides the badge.
    const std::optional<std::string>& badgeString() const { return m_badgeString; }
    void setBadgeString(std::optional<std::string>);
    // None shows the default badge colour.
    std::optional<gfx::Color> badgeColor() const { return m_badgeColor; }
    void setBadgeColor(std::optional<gfx::Color>);
    // The contact's address-book record id, 0 for none.
    int32_t id() const { return m_id; }
    void setId(int32_t id) { m_id = id; }

    const std::shared_ptr<ui::Label>& labelView() const { return m_labelView; }
    const std::shared_ptr<TouchImageBadgeView>& badge() const { return m_badge; }

    void layoutSubviews() override;

    void touchesBegan(const ui::TouchSet&, const ui::Event&) override;
    void touchesMoved(const ui::TouchSet&, const ui::Event&) override;
    void touchesEnded(const ui::TouchSet&, const ui::Event&) override;
    void touchesCancelled(const ui::TouchSet&, const ui::Event&) override;

    // Runs the picture's action: a call, a web request, or the picker for a placeholder.
    void launchAction();
    // Opens the phone-number picker, or in edit mode the picture's settings screen.
    void EditButton();
    // Turns the picture into a placeholder, keeping its frame origin, badge colour and transforms.
    void setDefault();

    // The edit-mode gesture arithmetic. Points are in the superview's coordinates.
    gfx::AffineTransform incrementalTransformWithTouches(const ui::TouchSet&) const;
    void updateOriginalTransformForTouches(const ui::TouchSet&);
    void cacheBeginPointForTouches(const ui::TouchSet&);
    void removeTouchesFromCache(const ui::TouchSet&);
    bool hasCachedBeginPoint(const ui::Touch&) const;

    std::string treeAttributes() const override;

private:
    bool isInEditMode() const;
    gfx::Point locationInSuperview(const ui::Touch&) const;
    void fade(std::string_view animationName, double alpha);
    void scheduleLaunchAction();
    void cancelLaunchAction();
    void editModeTouchesBegan(const ui::TouchSet&, const ui::Event&);
    void editModeTouchesEnded(const ui::TouchSet&, const ui::Event&);
    void normalModeTouchesEnded(const ui::TouchSet&);
    void commitGesture(const ui::TouchSet& touches, const ui::TouchSet& ended);
    void openWebAddress() const;

    // Begin points by touch identifier: touches are never told apart by address.
    std::map<uint64_t, gfx::Point> m_touchBeginPoints;
    std::vector<std::shared_ptr<TouchImageView>> m_children;
    std::weak_ptr<TouchImageView> m_parent;
    std::weak_ptr<BrenzoViewController> m_boardController;
    gfx::AffineTransform m_originalTransform;
    std::optional<std::string> m_imageName;
    gfx::Rect m_origSize;
    bool m_movable = true;
    std::optional<std::string> m_type;
    std::optional<std::string> m_parameters;
    std::optional<std::string> m_title;
    std::optional<std::string> m_badgeString;
    std::optional<gfx::Color> m_badgeColor;
    int32_t m_id = 0;
    std::shared_ptr<ui::Label> m_labelView;
    std::shared_ptr<TouchImageBadgeView> m_badge;
};
