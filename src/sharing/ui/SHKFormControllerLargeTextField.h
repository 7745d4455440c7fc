#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ObserverToken.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"
#include "platform/ui/TextViewDelegate.h"
#include "platform/ui/ViewController.h"
#include "sharing/ui/SHKFormControllerLargeTextFieldDelegate.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class BarButtonItem;
}

// The full-screen compose screen of the social services: one large text view with the text to
// post, Cancel, "Send to <service>", and a counter of the characters left (in UTF-16 units, as the
// platform counts them) that also tells whether a picture goes with the text. The counter shows
// when there is a limit, a picture or a link; past the limit it goes negative and red, and Send is
// disabled, as it is whenever the text is empty.
//
// The delegate is not owned, but the screen holds it from its creation until Send or Cancel has
// been delivered or the screen has gone, so a service needs no other owner while the screen is up.
// Services make the screen as SHKCustomFormControllerLargeTextField and show it through the sharing
// helper; Send and Cancel close it through the helper before telling the delegate.
class SHKFormControllerLargeTextField : public ui::ViewController, public ui::TextViewDelegate {
public:
    static constexpr double fontSize = 15;
    static constexpr double counterFontSize = 14;
    static constexpr double counterWidth = 150;
    static constexpr double counterHeight = 15;
    static constexpr double counterRightMargin = 15;
    static constexpr double counterBottomMargin = 9;

    static std::shared_ptr<SHKFormControllerLargeTextField> create(const std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>&);
    SHKFormControllerLargeTextField();
    ~SHKFormControllerLargeTextField() override;

    std::string_view className() const override { return "SHKFormControllerLargeTextField"; }

    std::shared_ptr<SHKFormControllerLargeTextFieldDelegate> delegate() const { return m_delegate.lock(); }

    // The text view (made with the view); the service reads the text to post from it.
    const std::shared_ptr<ui::TextView>& textView() const { return m_textView; }
    void setTextView(std::shared_ptr<ui::TextView> textView) { m_textView = std::move(textView); }
    // The character limit; 0 means none.
    size_t maxTextLength() const { return m_maxTextLength; }
    void setMaxTextLength(size_t length) { m_maxTextLength = length; }
    // Made when it first shows.
    const std::shared_ptr<ui::Label>& counter() const { return m_counter; }
    void setCounter(std::shared_ptr<ui::Label> counter) { m_counter = std::move(counter); }
    bool hasLink() const { return m_hasLink; }
    void setHasLink(bool hasLink) { m_hasLink = hasLink; }
    // The picture that goes with the text, and the characters it takes from the limit.
    const fnd::Ref<gfx::Image>& image() const { return m_image; }
    void setImage(fnd::Ref<gfx::Image> image) { m_image = std::move(image); }
    size_t imageTextLength() const { return m_imageTextLength; }
    void setImageTextLength(size_t length) { m_imageTextLength = length; }
    // The text the text view starts with.
    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }

    // The buttons.
    void save();
    void cancel();
    fnd::Ref<ui::BarButtonItem> sendButton();

    void updateCounter();
    void layoutCounter();
    bool shouldShowCounter() const;
    void ifNoTextDisableSendButton();
    // Shortens the text view so that it ends where the keyboard begins.
    void keyboardWillShow(const fnd::Notification&);
    void setupBarButtonItems();

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) const override { return true; }

    void didBeginEditing(ui::TextView&) override { updateCounter(); }
    void didChange(ui::TextView&) override { updateCounter(); }
    void didEndEditing(ui::TextView&) override { updateCounter(); }

protected:
    template<typename Form>
    static std::shared_ptr<Form> make(const std::shared_ptr<SHKFormControllerLargeTextFieldDelegate>& delegate)
    {
        auto form = std::make_shared<Form>();
        form->m_delegate = delegate;
        form->m_heldDelegate = delegate;
        return form;
    }

private:
    std::string currentText() const;

    std::weak_ptr<SHKFormControllerLargeTextFieldDelegate> m_delegate;
    std::shared_ptr<SHKFormControllerLargeTextFieldDelegate> m_heldDelegate;
    std::shared_ptr<ui::TextView> m_textView;
    size_t m_maxTextLength = 0;
    std::shared_ptr<ui::Label> m_counter;
    bool m_hasLink = false;
    fnd::Ref<gfx::Image> m_image;
    size_t m_imageTextLength = 0;
    std::string m_text;
    fnd::ObserverToken m_keyboardObserver;
};
