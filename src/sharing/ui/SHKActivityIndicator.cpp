#include "sharing/ui/SHKActivityIndicator.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/Window.h"

#include <cmath>

SHKActivityIndicator& SHKActivityIndicator::currentIndicator()
{
    // Never destroyed: sharers on their way out may still report to it while the process ends.
    static auto* indicator = new std::shared_ptr<SHKActivityIndicator>([] {
        auto created = std::make_shared<SHKActivityIndicator>(Passkey {});
        std::weak_ptr<SHKActivityIndicator> weakIndicator = created;
        created->m_orientationObserver = fnd::NotificationCenter::defaultCenter().addObserver(std::string(ui::Device::orientationDidChangeNotification),
            nullptr, [weakIndicator](const fnd::Notification&) {
                if (auto strongIndicator = weakIndicator.lock())
                    strongIndicator->setProperRotation();
            });
        return created;
    }());
    return **indicator;
}

gfx::Rect SHKActivityIndicator::frameInKeyWindow()
{
    gfx::Size windowSize;
    if (auto window = ui::Application::shared().keyWindow())
        windowSize = window->bounds().size;
    return { std::round(windowSize.width / 2 - side / 2), std::round(windowSize.height / 2 - side / 2), side, side };
}

SHKActivityIndicator::SHKActivityIndicator(Passkey)
    : View(frameInKeyWindow())
{
    applyLook();
    setAlpha(0);
    setProperRotation(false);
}

SHKActivityIndicator::~SHKActivityIndicator()
{
    cancelPendingHide();
}

void SHKActivityIndicator::applyLook()
{
    setBackgroundColor(gfx::Color(0, 0, 0, 0.5));
    setOpaque(false);
    layer().setCornerRadius(10);
    setUserInteractionEnabled(false);
    setAutoresizesSubviews(true);
    setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin | ui::Autoresizing::FlexibleTopMargin
        | ui::Autoresizing::FlexibleBottomMargin);
}

std::shared_ptr<ui::Label> SHKActivityIndicator::makeLabel(const gfx::Rect& frame, double fontSize)
{
    auto label = ui::Label::create(frame);
    label->setBackgroundColor(gfx::Color::clear());
    label->setOpaque(false);
    label->setTextColor(gfx::Color::white());
    label->setFont(gfx::Font::boldSystemFont(fontSize));
    label->setTextAlignment(gfx::TextAlignment::Center);
    label->setShadowColor(gfx::Color::darkGray());
    label->setShadowOffset({ 1, 1 });
    label->setAdjustsFontSizeToFitWidth(true);
    return label;
}

void SHKActivityIndicator::displayActivity(std::string message)
{
    setSubMessage(std::move(message));
    showSpinner();
    if (m_centerMessageLabel) {
        m_centerMessageLabel->removeFromSuperview();
        m_centerMessageLabel = nullptr;
    }
    if (superview())
        persist();
    else
        show();
}

void SHKActivityIndicator::displayCompleted(std::string message)
{
    setCenterMessage(std::string(checkMark));
    setSubMessage(std::move(message));
    if (m_spinner) {
        m_spinner->removeFromSuperview();
        m_spinner = nullptr;
    }
    if (superview())
        persist();
    else
        show();
    hideAfterDelay();
}

void SHKActivityIndicator::setCenterMessage(std::optional<std::string> message)
{
    if (!message) {
        if (m_centerMessageLabel)
            m_centerMessageLabel->removeFromSuperview();
        m_centerMessageLabel = nullptr;
        return;
    }
    if (!m_centerMessageLabel) {
        auto size = bounds().size;
        m_centerMessageLabel = makeLabel({ 12, std::round(size.height / 2 - 25), size.width - 24, 50 }, 40);
        addSubview(m_centerMessageLabel);
    }
    m_centerMessageLabel->setText(std::move(*message));
    hideSpinner();
}

void SHKActivityIndicator::setSubMessage(std::optional<std::string> message)
{
    if (!message) {
        if (m_subMessageLabel)
            m_subMessageLabel->removeFromSuperview();
        m_subMessageLabel = nullptr;
        return;
    }
    if (!m_subMessageLabel) {
        auto size = bounds().size;
        m_subMessageLabel = makeLabel({ 12, size.height - 45, size.width - 24, 30 }, 17);
        addSubview(m_subMessageLabel);
    }
    m_subMessageLabel->setText(std::move(*message));
}

void SHKActivityIndicator::showSpinner()
{
    if (!m_spinner) {
        m_spinner = ui::ActivityIndicatorView::create(ui::ActivityIndicatorViewStyle::WhiteLarge);
        auto own = bounds().size;
        auto spinnerSize = m_spinner->sizeThatFits({});
        m_spinner->setFrame({ std::round(own.width / 2 - spinnerSize.width / 2), std::round(own.height / 2 - spinnerSize.height / 2), spinnerSize.width,
            spinnerSize.height });
    }
    addSubview(m_spinner);
    m_spinner->startAnimating();
}

void SHKActivityIndicator::hideSpinner()
{
    if (m_spinner)
        m_spinner->removeFromSuperview();
}

void SHKActivityIndicator::show()
{
    auto window = ui::Application::shared().keyWindow();
    if (window && superviewPointer() != window.get()) {
        window->addSubview(sharedAs<SHKActivityIndicator>());
        // An overlay made before any window existed would otherwise stay off screen.
        auto frame = frameInKeyWindow();
        setCenter({ frame.midX(), frame.midY() });
    }
    cancelPendingHide();
    View::beginAnimations("show");
    View::setAnimationDuration(showDuration);
    setAlpha(1);
    View::commitAnimations();
}

void SHKActivityIndicator::persist()
{
    cancelPendingHide();
    View::beginAnimations("persist");
    View::setAnimationBeginsFromCurrentState(true);
    View::setAnimationDuration(persistDuration);
    setAlpha(1);
    View::commitAnimations();
}

void SHKActivityIndicator::hideAfterDelay()
{
    fnd::RunLoop::main().performAfterDelay(hideDelay, [] { currentIndicator().hide(); }, this, "hide");
}

void SHKActivityIndicator::hide()
{
    View::beginAnimations("hide");
    View::setAnimationDuration(hideDuration);
    View::setAnimationDidStop([] { currentIndicator().hidden(); });
    setAlpha(0);
    View::commitAnimations();
}

void SHKActivityIndicator::hidden()
{
    if (alpha() <= 0)
        removeFromSuperview();
}

void SHKActivityIndicator::cancelPendingHide()
{
    fnd::RunLoop::main().cancelPerforms(this, "hide");
}

void SHKActivityIndicator::setProperRotation(bool animated)
{
    double angle = 0;
    switch (ui::Application::shared().statusBarOrientation()) {
    case ui::InterfaceOrientation::Portrait:
        angle = 0;
        break;
    case ui::InterfaceOrientation::PortraitUpsideDown:
        angle = M_PI;
        break;
    case ui::InterfaceOrientation::LandscapeRight:
        angle = M_PI / 2;
        break;
    case ui::InterfaceOrientation::LandscapeLeft:
        angle = -M_PI / 2;
        break;
    default:
        return;
    }
    if (animated) {
        View::beginAnimations("setProperRotation");
        View::setAnimationDuration(rotationDuration);
    }
    setTransform(gfx::AffineTransform::makeRotation(angle));
    if (animated)
        View::commitAnimations();
}

void SHKActivityIndicator::resetForTesting()
{
    cancelPendingHide();
    removeFromSuperview();
    setCenterMessage(std::nullopt);
    setSubMessage(std::nullopt);
    if (m_spinner)
        m_spinner->removeFromSuperview();
    m_spinner = nullptr;
    setAlpha(0);
    setTransform(gfx::AffineTransform::identity());
    setFrame(frameInKeyWindow());
}
