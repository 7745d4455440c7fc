#pragma once

#include "platform/foundation/ObserverToken.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <memory>
#include <optional>
#include <string>

// The sharing framework's one progress overlay: a dark rounded 160 x 160 square in the middle of
// the key window showing either a spinner with a message under it, or a check mark with a message,
// after which it fades away by itself. It never takes touches. It follows the status bar's
// orientation.
//
// Timing: a completion hides 0.6 s after it is shown (the fade then takes 0.4 s); any new message
// in the meantime cancels the pending hide, so rapid reports keep the overlay up.
class SHKActivityIndicator final : public ui::View {
    struct Passkey { };

public:
    static constexpr double side = 160;
    static constexpr double hideDelay = 0.6;
    static constexpr double showDuration = 0.3;
    static constexpr double persistDuration = 0.1;
    static constexpr double hideDuration = 0.4;
    static constexpr double rotationDuration = 0.3;
    static constexpr std::string_view checkMark = "\u2713";

    // The one instance, made on first use and kept for the life of the process.
    static SHKActivityIndicator& currentIndicator();
    // Where the overlay belongs in the key window now; centred on (0, 0) when there is none.
    static gfx::Rect frameInKeyWindow();

    explicit SHKActivityIndicator(Passkey);
    ~SHKActivityIndicator() override;

    std::string_view className() const override { return "SHKActivityIndicator"; }

    // Busy: the spinner and the message; stays until something hides it.
    void displayActivity(std::string message);
    // Done: a check mark and the message, hidden 0.6 s later.
    void displayCompleted(std::string message);

    // Nil removes the label.
    void setCenterMessage(std::optional<std::string>);
    void setSubMessage(std::optional<std::string>);

    // Puts the overlay into the key window when it is not there and fades it in.
    void show();
    // Keeps an overlay that is on screen: cancels a pending hide and fades it back in.
    void persist();
    void hideAfterDelay();
    // Fades out; the overlay leaves its window once the fade has ended, unless shown again meanwhile.
    void hide();
    void hidden();

    void showSpinner();
    void hideSpinner();

    void setProperRotation() { setProperRotation(true); }
    void setProperRotation(bool animated);

    const std::shared_ptr<ui::Label>& centerMessageLabel() const { return m_centerMessageLabel; }
    const std::shared_ptr<ui::Label>& subMessageLabel() const { return m_subMessageLabel; }
    const std::shared_ptr<ui::ActivityIndicatorView>& spinner() const { return m_spinner; }

    // Takes the overlay off screen and clears it, with nothing pending: a fresh start for each test.
    void resetForTesting();

private:
    void applyLook();
    std::shared_ptr<ui::Label> makeLabel(const gfx::Rect&, double fontSize);
    void cancelPendingHide();

    std::shared_ptr<ui::Label> m_centerMessageLabel;
    std::shared_ptr<ui::Label> m_subMessageLabel;
    std::shared_ptr<ui::ActivityIndicatorView> m_spinner;
    fnd::ObserverToken m_orientationObserver;
};
