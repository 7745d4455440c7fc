#include "board/RatingPrompt.h"

#include "board/BrenzoLinks.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/URLConnection.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/network/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"

#include <mutex>
#include <netinet/in.h>

namespace {

std::string infoText(std::string_view key)
{
    auto value = fnd::as<fnd::String>(fnd::Bundle::main()->objectForInfoDictionaryKey(key));
    return value ? std::string(value->view()) : std::string();
}

std::string bundleVersion()
{
    return infoText("CFBundleVersion");
}

struct ConnectionTestAddress {
    std::mutex lock;
    std::string address;
};

ConnectionTestAddress& connectionTestAddressHolder()
{
    static auto* holder = new ConnectionTestAddress; // never destroyed: counting threads may read it during exit
    return *holder;
}

}

// Class operations.

void RatingPrompt::appLaunched(bool canPromptForRating)
{
    detachCount(CountedEvent::Launch, canPromptForRating);
}

void RatingPrompt::appEnteredForeground(bool canPromptForRating)
{
    detachCount(CountedEvent::Launch, canPromptForRating);
}

void RatingPrompt::userDidSignificantEvent(bool canPromptForRating)
{
    detachCount(CountedEvent::SignificantEvent, canPromptForRating);
}

void RatingPrompt::detachCount(CountedEvent event, bool canPromptForRating)
{
    auto prompt = sharedInstance();
    fnd::Thread::detach("RatingPrompt", [prompt, event, canPromptForRating] {
        prompt->incrementAndRate(event, canPromptForRating);
    });
}

void RatingPrompt::appWillResignActive()
{
    sharedInstance()->hideRatingAlert();
}

std::string RatingPrompt::reviewPageAddress()
{
    static constexpr std::string_view placeholder = "APP_ID";
    std::string address(BrenzoLinks::reviewPageTemplate);
    auto identifier = fnd::format("%d", BrenzoLinks::storeIdentifier);
    for (auto position = address.find(placeholder); position != std::string::npos; position = address.find(placeholder, position + identifier.size()))
        address.replace(position, placeholder.size(), identifier);
    return address;
}

void RatingPrompt::rateApp()
{
    auto address = reviewPageAddress();
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    defaults->setBoolForKey(true, ratedCurrentVersionKey);
    defaults->synchronize();
    // Rated even when the page cannot be opened: the user asked to rate this version.
    if (auto url = fnd::URL::create(address))
        ui::Application::shared().openURL(*url);
}

std::shared_ptr<RatingPrompt> RatingPrompt::sharedInstance()
{
    // Made once whichever thread asks first; never destroyed, since a counting thread may still use
    // it while the process exits.
    static auto* instance = new std::shared_ptr<RatingPrompt>([] {
        auto prompt = std::make_shared<RatingPrompt>();
        prompt->observeResignActive();
        return prompt;
    }());
    return *instance;
}

void RatingPrompt::observeResignActive()
{
    m_resignActiveObserver = fnd::NotificationCenter::defaultCenter().addObserver(std::string(ui::Application::willResignActiveNotification), nullptr,
        [weakPrompt = weak_from_this()](const fnd::Notification&) {
            if (auto prompt = weakPrompt.lock())
                prompt->hideRatingAlert();
        });
}

void RatingPrompt::setConnectionTestAddress(std::string address)
{
    auto& holder = connectionTestAddressHolder();
    std::lock_guard guard(holder.lock);
    holder.address = std::move(address);
}

std::string RatingPrompt::connectionTestAddress()
{
    auto& holder = connectionTestAddressHolder();
    std::lock_guard guard(holder.lock);
    return holder.address.empty() ? std::string(defaultConnectionTestAddress) : holder.address;
}

// Counting, on the counting threads.

void RatingPrompt::incrementAndRate(bool canPromptForRating)
{
    incrementAndRate(CountedEvent::Launch, canPromptForRating);
}

void RatingPrompt::incrementSignificantEventAndRate(bool canPromptForRating)
{
    incrementAndRate(CountedEvent::SignificantEvent, canPromptForRating);
}

void RatingPrompt::incrementAndRate(CountedEvent event, bool canPromptForRating)
{
    increment(event);
    if (canPromptForRating && ratingConditionsHaveBeenMet() && connectedToNetwork()) {
        // The counting thread does not wait for the alert.
        fnd::RunLoop::main().post([prompt = shared_from_this()] { prompt->showRatingAlert(); });
    }
}

void RatingPrompt::incrementUseCount()
{
    increment(CountedEvent::Launch);
}

void RatingPrompt::incrementSignificantEventCount()
{
    increment(CountedEvent::SignificantEvent);
}

void RatingPrompt::increment(CountedEvent event)
{
    auto version = bundleVersion();
    double now = fnd::Clock::current().now();
    bool isLaunch = event == CountedEvent::Launch;
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    // One read-modify-write under the defaults' lock, so that two counting threads never lose a count.
    defaults->withLock([&](fnd::UserDefaults& values) {
        auto trackingVersion = values.stringForKey(currentVersionKey);
        if (!trackingVersion) {
            trackingVersion = version;
            values.setObjectForKey(fnd::String::create(version), currentVersionKey);
        }
        if (*trackingVersion == version) {
            if (values.doubleForKey(firstUseDateKey) == 0)
                values.setDoubleForKey(now, firstUseDateKey);
            auto counter = isLaunch ? useCountKey : significantEventCountKey;
            values.setIntegerForKey(values.integerForKey(counter) + 1, counter);
            return;
        }
        // A new version: counting starts again.
        values.setObjectForKey(fnd::String::create(version), currentVersionKey);
        values.setDoubleForKey(isLaunch ? now : 0, firstUseDateKey);
        values.setIntegerForKey(isLaunch ? 1 : 0, useCountKey);
        values.setIntegerForKey(isLaunch ? 0 : 1, significantEventCountKey);
        values.setBoolForKey(false, ratedCurrentVersionKey);
        values.setBoolForKey(false, declinedToRateKey);
        values.setDoubleForKey(0, reminderRequestDateKey);
    });
    defaults->synchronize();
}

bool RatingPrompt::ratingConditionsHaveBeenMet() const
{
    double now = fnd::Clock::current().now();
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    return defaults->withLock([&](fnd::UserDefaults& values) {
        return now - values.doubleForKey(firstUseDateKey) >= minimumSecondsOfUse
            && values.integerForKey(useCountKey) >= minimumUseCount
            && values.integerForKey(significantEventCountKey) >= minimumSignificantEventCount
            && !values.boolForKey(declinedToRateKey)
            && !values.boolForKey(ratedCurrentVersionKey)
            && now - values.doubleForKey(reminderRequestDateKey) >= secondsBeforeReminding;
    });
}

bool RatingPrompt::connectedToNetwork()
{
    // The internet as the platform asks for it: the IPv4 wildcard address.
    sockaddr_in zeroAddress {};
    zeroAddress.sin_family = AF_INET;
    auto reachability = net::Reachability::createWithAddress(reinterpret_cast<const sockaddr*>(&zeroAddress), sizeof zeroAddress);
    auto flags = reachability ? reachability->flags() : std::nullopt;
    if (!flags) {
        fnd::Log::write("Error. Could not recover network reachability flags");
        return false;
    }
    bool isReachable = flags->contains(net::ReachabilityFlag::Reachable);
    bool needsConnection = flags->contains(net::ReachabilityFlag::ConnectionRequired);
    bool isTransient = flags->contains(net::ReachabilityFlag::TransientConnection);
    if (!((isReachable && !needsConnection) || isTransient))
        return false;

    // The load starts on the main run loop and its reply is not read: the thread never waits on it.
    auto url = fnd::URL::create(connectionTestAddress());
    if (!url)
        return false;
    fnd::URLRequest request(url, fnd::URLRequest::CachePolicy::ReloadIgnoringLocalCacheData, connectionTestTimeout);
    ++m_connectionTestsInProgress;
    if (fnd::URLConnection::create(request, shared_from_this()))
        return true;
    --m_connectionTestsInProgress;
    return false;
}

void RatingPrompt::didFinishLoading(fnd::URLConnection&)
{
    --m_connectionTestsInProgress;
}

void RatingPrompt::didFailWithError(fnd::URLConnection&, const fnd::Ref<fnd::Error>&)
{
    --m_connectionTestsInProgress;
}

// The alert, on the main thread.

void RatingPrompt::showRatingAlert()
{
    // Two counts that both prompt must not stack two alerts, of which only one could be hidden.
    if (m_ratingAlert && m_ratingAlert->isVisible())
        return;
    auto name = infoText("CFBundleName");
    auto title = fnd::format("Rate %@", name);
    auto message = fnd::format("If you enjoy using %@, would you mind taking a moment to rate it? It won't take more than a minute. Thanks for your support!", name);
    auto alert = ui::AlertView::create(title, message, shared_from_this(), std::string(declineButtonTitle),
        { fnd::format("Rate %@", name), std::string(remindButtonTitle) });
    setRatingAlert(alert);
    alert->show();
}

void RatingPrompt::hideRatingAlert()
{
    if (m_ratingAlert && m_ratingAlert->isVisible())
        m_ratingAlert->dismissWithClickedButtonIndex(-1, false);
}

void RatingPrompt::clickedButtonAtIndex(ui::AlertView&, int buttonIndex)
{
    auto defaults = fnd::UserDefaults::standardUserDefaults();
    switch (buttonIndex) {
    case DeclineButton:
        defaults->setBoolForKey(true, declinedToRateKey);
        defaults->synchronize();
        break;
    case RateButton:
        rateApp();
        break;
    case RemindButton:
        defaults->setDoubleForKey(fnd::Clock::current().now(), reminderRequestDateKey);
        defaults->synchronize();
        break;
    default:
        break;
    }
}
