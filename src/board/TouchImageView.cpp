#include "board/TouchImageView.h"

#include "board/BoardScreens.h"
#include "board/BoardWebRequest.h"
#include "board/BrenzoViewController.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/String.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/URL.h"
#include "platform/graphics/TextLayout.h"
#include "platform/ui/Application.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/Event.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace {

constexpr std::string_view launchActionName = "launchAction";
constexpr double fadeDuration = 0.2;

}

std::shared_ptr<TouchImageView> TouchImageView::create(const gfx::Rect& frame)
{
    auto view = std::make_shared<TouchImageView>(frame);
    view->m_badge->setParent(view);
    return view;
}

TouchImageView::TouchImageView(const gfx::Rect& frame)
    : ImageView(frame)
    , m_labelView(ui::Label::create())
    , m_badge(TouchImageBadgeView::create())
{
    setUserInteractionEnabled(true);
    setMultipleTouchEnabled(true);
    setExclusiveTouch(true);
    setClipsToBounds(false);
    addSubview(m_labelView);
    addSubview(m_badge);
}

TouchImageView::~TouchImageView() = default;

void TouchImageView::addChild(std::shared_ptr<TouchImageView> child)
{
    m_children.push_back(std::move(child));
}

void TouchImageView::removeChild(const TouchImageView& child)
{
    std::erase_if(m_children, [&](auto& candidate) { return candidate.get() == &child; });
}

void TouchImageView::setType(std::optional<std::string> type)
{
    if (type == m_type)
        return;
    m_type = std::move(type);
    setNeedsDisplay();
}

void TouchImageView::setTitle(std::optional<std::string> title)
{
    m_title = std::move(title);
    setNeedsLayout();
}

void TouchImageView::setBadgeString(std::optional<std::string> text)
{
    m_badgeString = std::move(text);
    setNeedsLayout();
}

void TouchImageView::setBadgeColor(std::optional<gfx::Color> color)
{
    m_badgeColor = color;
    setNeedsLayout();
}

void TouchImageView::layoutSubviews()
{
    // The bounds, not the frame: a scaled or turned picture's frame is the box around it on the
    // board, while the title and badge are placed in the picture's own, untransformed space.
    double width = bounds().width();
    double height = bounds().height();

    if (m_badgeString && !m_badgeString->empty()) {
        auto textSize = gfx::TextLayout::sizeOfLine(*m_badgeString, gfx::Font::boldSystemFont(TouchImageBadgeView::fontSize));
        m_badge->setHidden(false);
        m_badge->setFrame({ width - (textSize.width + 5 + 5), height - (textSize.height + 1 + 5), textSize.width + 5, textSize.height });
        m_badge->setBadgeString(*m_badgeString);
        m_badge->setBadgeColor(m_badgeColor.value_or(defaultBadgeColor));
        m_badge->setNeedsDisplay();
    } else {
        m_badge->setHidden(true);
    }

    if (m_title && !m_title->empty()) {
        auto font = gfx::Font::systemFont(10);
        auto textSize = gfx::TextLayout::sizeOfLine(*m_title, font);
        m_labelView->setHidden(false);
        m_labelView->setText(*m_title);
        m_labelView->setFont(font);
        m_labelView->setBackgroundColor(gfx::Color::clear());
        m_labelView->setFrame({ (width - textSize.width) / 2, height, textSize.width, textSize.height });
    } else {
        m_labelView->setHidden(true);
    }
}

bool TouchImageView::isInEditMode() const
{
    auto board = boardController();
    return board && board->editMode();
}

gfx::Point TouchImageView::locationInSuperview(const ui::Touch& touch) const
{
    return touch.locationInView(superviewPointer());
}

void TouchImageView::fade(std::string_view animationName, double alpha)
{
    ui::View::beginAnimations(std::string(animationName));
    ui::View::setAnimationDuration(fadeDuration);
    setAlpha(alpha);
    ui::View::commitAnimations();
}

// Normal mode: a touch dims the picture; lifting it restores the picture and, for a single tap,
// runs its action a little later unless a second tap comes first.

void TouchImageView::touchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    if (isInEditMode()) {
        editModeTouchesBegan(touches, event);
        return;
    }
    for (size_t index = 0; index < touches.count(); ++index)
        fade("Fade In", 0.5);
}

void TouchImageView::touchesMoved(const ui::TouchSet&, const ui::Event& event)
{
    if (!isInEditMode() || !m_movable)
        return;
    auto touches = event.touchesForView(*this);
    setTransform(m_originalTransform.concatenating(incrementalTransformWithTouches(touches)));
    for (auto& child : m_children)
        child->setTransform(child->m_originalTransform.concatenating(child->incrementalTransformWithTouches(touches)));
}

void TouchImageView::touchesEnded(const ui::TouchSet& touches, const ui::Event& event)
{
    if (isInEditMode())
        editModeTouchesEnded(touches, event);
    else
        normalModeTouchesEnded(touches);
}

void TouchImageView::touchesCancelled(const ui::TouchSet& touches, const ui::Event& event)
{
    touchesEnded(touches, event);
}

void TouchImageView::normalModeTouchesEnded(const ui::TouchSet& touches)
{
    if (hasType(backgroundType)) {
        fade("Fade Out", 1.0);
        return;
    }
    for (auto& touch : touches) {
        fade("Fade Out", 1.0);
        if (touch->tapCount() == 1) {
            scheduleLaunchAction();
        } else if (touch->tapCount() == 2) {
            cancelLaunchAction();
            EditButton();
        }
    }
}

void TouchImageView::scheduleLaunchAction()
{
    // Two fingers lifting together must not place two calls.
    cancelLaunchAction();
    std::weak_ptr<TouchImageView> weakThis = sharedAs<TouchImageView>();
    fnd::RunLoop::main().performAfterDelay(
        tapActionDelay,
        [weakThis] {
            if (auto strongThis = weakThis.lock())
                strongThis->launchAction();
        },
        this, std::string(launchActionName));
}

void TouchImageView::cancelLaunchAction()
{
    fnd::RunLoop::main().cancelPerforms(this, launchActionName);
}

// Edit mode: touches select a movable picture and move, scale and rotate it with its children.

void TouchImageView::editModeTouchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    if (!m_movable)
        return;
    if (auto board = boardController())
        board->setSelectedTouchImage(sharedAs<TouchImageView>());

    auto others = event.touchesForView(*this).subtracting(touches);
    auto begin = [&](TouchImageView& picture) {
        if (!others.isEmpty()) {
            picture.updateOriginalTransformForTouches(others);
            picture.cacheBeginPointForTouches(others);
        }
        picture.cacheBeginPointForTouches(touches);
    };
    begin(*this);
    for (auto& child : m_children)
        begin(*child);
}

void TouchImageView::editModeTouchesEnded(const ui::TouchSet& touches, const ui::Event& event)
{
    bool isBackground = hasType(backgroundType);
    if (!isBackground) {
        bool isMultipleTap = std::any_of(touches.begin(), touches.end(), [](auto& touch) { return touch->tapCount() >= 2; });
        if (isMultipleTap) {
            // The ended touches leave the cache whatever happens next.
            removeTouchesFromCache(touches);
            EditButton();
            return;
        }
    }
    if (!m_movable) {
        removeTouchesFromCache(touches);
        return;
    }
    // The background is committed like any other picture, so a drag of the whole board stays.
    commitGesture(event.touchesForView(*this), touches);
}

void TouchImageView::commitGesture(const ui::TouchSet& touches, const ui::TouchSet& ended)
{
    auto remaining = touches.subtracting(ended);
    auto commit = [&](TouchImageView& picture) {
        picture.updateOriginalTransformForTouches(touches);
        picture.removeTouchesFromCache(ended);
        picture.cacheBeginPointForTouches(remaining);
    };
    commit(*this);
    for (auto& child : m_children)
        commit(*child);
}

gfx::AffineTransform TouchImageView::incrementalTransformWithTouches(const ui::TouchSet& touches) const
{
    std::vector<TouchTrack> tracks;
    for (auto& touch : touches) {
        auto current = locationInSuperview(*touch);
        auto found = m_touchBeginPoints.find(touch->identifier());
        // A touch that never had its begin point cached has not moved the picture yet.
        auto begin = found != m_touchBeginPoints.end() ? found->second : current;
        tracks.push_back({ touch->identifier(), begin, current });
    }
    return TouchImageTransform::incremental(std::move(tracks), center());
}

void TouchImageView::updateOriginalTransformForTouches(const ui::TouchSet& touches)
{
    if (touches.isEmpty())
        return;
    setTransform(m_originalTransform.concatenating(incrementalTransformWithTouches(touches)));
    m_originalTransform = transform();
}

void TouchImageView::cacheBeginPointForTouches(const ui::TouchSet& touches)
{
    for (auto& touch : touches)
        m_touchBeginPoints[touch->identifier()] = locationInSuperview(*touch);
}

void TouchImageView::removeTouchesFromCache(const ui::TouchSet& touches)
{
    for (auto& touch : touches)
        m_touchBeginPoints.erase(touch->identifier());
}

bool TouchImageView::hasCachedBeginPoint(const ui::Touch& touch) const
{
    return m_touchBeginPoints.contains(touch.identifier());
}

// Actions.

void TouchImageView::launchAction()
{
    fnd::Log::format("type: %@", m_type ? fnd::FormatArgument(*m_type) : fnd::FormatArgument());
    if (hasType(webType)) {
        openWebAddress();
    } else if (hasType(phoneType)) {
        fnd::Log::format("opening %@", m_parameters ? fnd::FormatArgument(*m_parameters) : fnd::FormatArgument());
        if (auto url = fnd::URL::create(m_parameters.value_or("")))
            ui::Application::shared().openURL(*url);
    } else if (hasType(placeholderType)) {
        EditButton();
    }
}

void TouchImageView::openWebAddress() const
{
    fnd::Log::format("opening %@", m_parameters ? fnd::FormatArgument(*m_parameters) : fnd::FormatArgument());
    auto url = fnd::URL::create(m_parameters.value_or(""));
    if (!url || (url->scheme() != "http" && url->scheme() != "https")) {
        fnd::Log::write("retour: (null)");
        return;
    }
    BoardWebRequest::fetchText(url, [](const std::optional<std::string>& reply) {
        fnd::Log::format("retour: %@", reply ? fnd::FormatArgument(fnd::Log::excerpt(*reply)) : fnd::FormatArgument());
    });
}

void TouchImageView::EditButton()
{
    auto board = boardController();
    if (!board)
        return;
    auto self = sharedAs<TouchImageView>();
    if (!board->editMode()) {
        auto picker = BoardScreens::makePeopleListViewController({ self, {}, -1, fnd::String::create("1") });
        auto navigation = ui::NavigationController::createWithRootViewController(picker);
        navigation->setModalTransitionStyle(ui::ModalTransitionStyle::FlipHorizontal);
        board->presentViewController(navigation, true);
        return;
    }
    auto settings = BoardScreens::makeEditTouchImageViewController(self);
    auto navigation = ui::NavigationController::createWithRootViewController(settings);
    // The tab shows the settings' own title and picture.
    navigation->setTabBarItem(settings->tabBarItem());
    auto tabs = ui::TabBarController::create();
    tabs->setViewControllers({ navigation });
    tabs->setModalTransitionStyle(ui::ModalTransitionStyle::FlipHorizontal);
    board->presentViewController(tabs, true);
}

void TouchImageView::setDefault()
{
    auto placeholder = ui::BundleImages::imageNamed(placeholderImageName);
    auto imageSize = placeholder ? placeholder->size() : gfx::Size { placeholderWidth, placeholderWidth };
    double height = imageSize.width > 0 ? placeholderWidth * imageSize.height / imageSize.width : placeholderWidth;
    auto origin = frame().origin;
    gfx::Rect rect { origin.x, origin.y, placeholderWidth, height };
    setFrame(rect);
    setImage(placeholder);
    setImageName(std::string(placeholderImageName));
    setTitle(std::string());
    setBadgeString(std::string());
    setParameters(std::string());
    setOrigSize(rect);
    setType(std::string(placeholderType));
    setMovable(false);
    setId(0);
}

std::string TouchImageView::treeAttributes() const
{
    return fnd::format("type=\"%@\" image=\"%@\"", m_type.value_or(""), m_imageName.value_or(""));
}
