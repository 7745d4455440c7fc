#pragma once

#include "platform/foundation/ObserverToken.h"
#include "platform/foundation/URLConnectionDelegate.h"
#include "platform/ui/AlertViewDelegate.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace ui {
class AlertView;
}

// Asks the user to rate the application in the store once it has been in use long enough: launches
// are counted per bundle version in the user defaults, each on a thread of its own; when a launch
// finds the version used for 15 days and more than 20 launches, not declined, not rated and not
// put off within the last day, and the network is there, an alert offers "No, Thanks", "Rate" and
// "Remind me later". The board's heart button opens the review page directly.
//
// One instance exists per process. It hides its alert, without recording a choice, when the
// application resigns active.
class RatingPrompt final : public ui::AlertViewDelegate,
                           public fnd::URLConnectionDelegate,
                           public std::enable_shared_from_this<RatingPrompt> {
public:
    static constexpr std::string_view currentVersionKey = "kRatingPromptCurrentVersion";
    static constexpr std::string_view firstUseDateKey = "kRatingPromptFirstUseDate";
    static constexpr std::string_view useCountKey = "kRatingPromptUseCount";
    static constexpr std::string_view significantEventCountKey = "kRatingPromptSignificantEventCount";
    static constexpr std::string_view ratedCurrentVersionKey = "kRatingPromptRatedCurrentVersion";
    static constexpr std::string_view declinedToRateKey = "kRatingPromptDeclinedToRate";
    static constexpr std::string_view reminderRequestDateKey = "kRatingPromptReminderRequestDate";

    static constexpr double minimumSecondsOfUse = 1296000;
    static constexpr int minimumUseCount = 21;
    static constexpr int minimumSignificantEventCount = 0;
    static constexpr double secondsBeforeReminding = 86400;
    static constexpr double connectionTestTimeout = 20;
    // A page the connection test loads; only whether the load could be started counts.
    static constexpr std::string_view defaultConnectionTestAddress = "https://www.example.com/";

    static constexpr std::string_view declineButtonTitle = "No, Thanks";
    static constexpr std::string_view remindButtonTitle = "Remind me later";
    enum ButtonIndex {
        DeclineButton = 0,
        RateButton = 1,
        RemindButton = 2,
    };

    // Counts a launch on a thread of its own; `canPromptForRating` says whether it may prompt.
    static void appLaunched() { appLaunched(true); }
    static void appLaunched(bool canPromptForRating);
    static void appEnteredForeground(bool canPromptForRating);
    // Counts a significant event on a thread of its own.
    static void userDidSignificantEvent(bool canPromptForRating);
    // Hides the alert without recording a choice.
    static void appWillResignActive();
    // Marks the current version rated and opens the store's review page.
    static void rateApp();
    // The review page's address: the template with the store identifier in place of "APP_ID".
    static std::string reviewPageAddress();

    static std::shared_ptr<RatingPrompt> sharedInstance();

    // Where the connection test loads from (tests point it at this machine); empty for the default.
    static void setConnectionTestAddress(std::string);
    static std::string connectionTestAddress();

    // The counting threads' work.
    void incrementAndRate(bool canPromptForRating);
    void incrementSignificantEventAndRate(bool canPromptForRating);

    void incrementUseCount();
    void incrementSignificantEventCount();
    bool ratingConditionsHaveBeenMet() const;
    // Whether the network can be used now; starts a load of the test page as it asks.
    bool connectedToNetwork();
    // Loads of the test page that have not ended yet.
    int connectionTestsInProgress() const { return m_connectionTestsInProgress.load(); }
    void didFinishLoading(fnd::URLConnection&) override;
    void didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>&) override;

    // Main thread.
    void showRatingAlert();
    void hideRatingAlert();
    const std::shared_ptr<ui::AlertView>& ratingAlert() const { return m_ratingAlert; }
    void setRatingAlert(std::shared_ptr<ui::AlertView> alert) { m_ratingAlert = std::move(alert); }
    void clickedButtonAtIndex(ui::AlertView&, int buttonIndex) override;

    RatingPrompt() = default;

private:
    enum class CountedEvent {
        Launch,
        SignificantEvent,
    };
    static void detachCount(CountedEvent, bool canPromptForRating);
    void incrementAndRate(CountedEvent, bool canPromptForRating);
    void increment(CountedEvent);
    void observeResignActive();

    std::shared_ptr<ui::AlertView> m_ratingAlert;
    fnd::ObserverToken m_resignActiveObserver;
    std::atomic<int> m_connectionTestsInProgress { 0 };
};
