#include "sharing/ui/SHKFormControllerLargeTextField.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/Unicode.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Screen.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKLocalizedText.h"
#include "sharing/core/SHKSharer.h"

#include <algorithm>
#include <limits>

namespace {

constexpr ui::EdgeInsets textInsets { 5, 5, 5, 0 };
constexpr ui::EdgeInsets textInsetsAboveCounter { 5, 5, 32, 0 };
constexpr gfx::Color counterRed { 1, 0, 0 };
constexpr double statusBarAllowance = 20;

bool isPortrait(ui::InterfaceOrientation orientation)
{
    return orientation == ui::InterfaceOrientation::Portrait || orientation == ui::InterfaceOrientation::PortraitUpsideDown;
}

// The status-bar orientations whose distance from the top is measured from the other side.
bool isMeasuredFromOtherSide(ui::InterfaceOrientation orientation)
{
    return orientation == ui::InterfaceOrientation::PortraitUpsideDown || orientation == ui::InterfaceOrientation::LandscapeRight;
}

// Small enough that the differences below cannot overflow.
int64_t asSigned(size_t value)
{
    return static_cast<int64_t>(std::min<size_t>(value, std::numeric_limits<int64_t>::max() / 4));
}

}

std::shared_ptr<SHKFormControllerLargeTextField> SHKFormControllerLargeTextField::create(const std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>& delegate)
{
    return make<SHKFormControllerLargeTextField>(delegate);
}

SHKFormControllerLargeTextField::SHKFormControllerLargeTextField() = default;

SHKFormControllerLargeTextField::~SHKFormControllerLargeTextField() = default;

void SHKFormControllerLargeTextField::loadView()
{
    ViewController::loadView();
    auto root = view();
    root->setBackgroundColor(gfx::Color::white());

    m_textView = ui::TextView::create(root->bounds());
    m_textView->setDelegate(sharedAs<SHKFormControllerLargeTextField>());
    m_textView->setFont(gfx::Font::systemFont(fontSize));
    m_textView->setContentInset(textInsets);
    m_textView->setBackgroundColor(gfx::Color::white());
    m_textView->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    root->addSubview(m_textView);
}

void SHKFormControllerLargeTextField::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    view();
    m_textView->setText(m_text);
    setupBarButtonItems();
}

void SHKFormControllerLargeTextField::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    std::weak_ptr<SHKFormControllerLargeTextField> weakThis = sharedAs<SHKFormControllerLargeTextField>();
    m_keyboardObserver = fnd::NotificationCenter::defaultCenter().addObserver(std::string(ui::Keyboard::willShowNotification), nullptr,
        [weakThis](const fnd::Notification& notification) {
            if (auto form = weakThis.lock())
                form->keyboardWillShow(notification);
        });
    m_textView->becomeFirstResponder();
}

void SHKFormControllerLargeTextField::viewDidDisappear(bool animated)
{
    auto protect = sharedAs<SHKFormControllerLargeTextField>();
    ViewController::viewDidDisappear(animated);
    m_keyboardObserver.remove();
    SHK::currentHelper().viewWasDismissed();
    m_heldDelegate = nullptr;
}

void SHKFormControllerLargeTextField::setupBarButtonItems()
{
    auto item = navigationItem();
    item->setLeftBarButtonItem(
        ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel, ui::Action::to(this, "cancel", &SHKFormControllerLargeTextField::cancel)));

    std::string service;
    if (auto sharer = std::dynamic_pointer_cast<SHKSharer>(delegate()))
        service = sharer->sharerClass().sharerTitle();
    item->setRightBarButtonItem(ui::BarButtonItem::createWithTitle(SHKLocalizedText("Send to %@", service), ui::BarButtonItemStyle::Done,
        ui::Action::to(this, "save", &SHKFormControllerLargeTextField::save)));
}

fnd::Ref<ui::BarButtonItem> SHKFormControllerLargeTextField::sendButton()
{
    return navigationItem()->rightBarButtonItem();
}

std::string SHKFormControllerLargeTextField::currentText() const
{
    return m_textView ? m_textView->text() : m_text;
}

void SHKFormControllerLargeTextField::ifNoTextDisableSendButton()
{
    if (auto button = sendButton())
        button->setEnabled(!currentText().empty());
}

bool SHKFormControllerLargeTextField::shouldShowCounter() const
{
    return m_maxTextLength > 0 || m_image || m_hasLink;
}

void SHKFormControllerLargeTextField::updateCounter()
{
    ifNoTextDisableSendButton();
    if (!shouldShowCounter())
        return;

    if (!m_counter) {
        m_counter = ui::Label::create();
        m_counter->setBackgroundColor(gfx::Color::clear());
        m_counter->setOpaque(false);
        m_counter->setFont(gfx::Font::boldSystemFont(counterFontSize));
        m_counter->setTextAlignment(gfx::TextAlignment::Right);
        m_counter->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleTopMargin);
        view()->addSubview(m_counter);
        layoutCounter();
    }

    // Signed: past the limit the count goes below zero.
    int64_t remaining = 0;
    std::string number;
    if (m_maxTextLength > 0) {
        auto text = currentText();
        remaining = asSigned(m_maxTextLength) - (m_image ? asSigned(m_imageTextLength) : 0) - asSigned(fnd::unicode::utf16Length(text));
        number = std::to_string(remaining);
    }
    std::string prefix = m_image ? fnd::format("Image %@ ", remaining >= 1 ? "+" : "") : std::string();
    m_counter->setText(prefix + number);

    if (remaining < 0) {
        m_counter->setTextColor(counterRed);
        if (auto button = sendButton())
            button->setEnabled(false);
    } else {
        m_counter->setTextColor(gfx::Color::black());
        ifNoTextDisableSendButton();
    }
}

void SHKFormControllerLargeTextField::layoutCounter()
{
    if (!shouldShowCounter() || !m_counter || !m_textView)
        return;
    auto textBounds = m_textView->bounds();
    m_counter->setFrame({ textBounds.width() - counterWidth - counterRightMargin, textBounds.height() - counterHeight - counterBottomMargin,
        counterWidth, counterHeight });
    m_textView->setContentInset(textInsetsAboveCounter);
}

void SHKFormControllerLargeTextField::keyboardWillShow(const fnd::Notification& notification)
{
    auto keyboardFrame = ui::Keyboard::frameFromUserInfo(notification.userInfo());
    if (!keyboardFrame || !isViewLoaded())
        return;
    auto root = view();
    auto& application = ui::Application::shared();
    auto statusBarOrientation = application.statusBarOrientation();
    bool portraitStatusBar = isPortrait(statusBarOrientation);

    double keyboardHeight = isPortrait(interfaceOrientation()) ? keyboardFrame->height() : keyboardFrame->width();

    auto applicationFrame = ui::Screen::mainScreen().applicationFrame();
    double extent = portraitStatusBar ? applicationFrame.height() : applicationFrame.width();
    auto origin = root->convertPointToView({ 0, 0 }, nullptr);
    double distance = portraitStatusBar ? origin.y : origin.x;
    if (isMeasuredFromOtherSide(statusBarOrientation))
        distance = extent - distance;

    double viewHeight = root->frame().height();
    double gapBelow = extent - (distance + viewHeight);
    double allowance = !application.isStatusBarHidden() && !isMeasuredFromOtherSide(statusBarOrientation) ? statusBarAllowance : 0;

    m_textView->setFrame({ 0, 0, root->frame().width(), viewHeight - keyboardHeight + gapBelow + allowance });
    layoutCounter();
}

void SHKFormControllerLargeTextField::save()
{
    auto protect = sharedAs<SHKFormControllerLargeTextField>();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    auto held = std::move(m_heldDelegate);
    if (auto delegate = this->delegate())
        delegate->sendForm(*this);
}

void SHKFormControllerLargeTextField::cancel()
{
    auto protect = sharedAs<SHKFormControllerLargeTextField>();
    SHK::currentHelper().hideCurrentViewControllerAnimated(true);
    auto held = std::move(m_heldDelegate);
    if (auto delegate = this->delegate())
        delegate->sendDidCancel();
}
