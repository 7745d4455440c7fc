#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Format.h"
#include "platform/ui/BarStyle.h"
#include "platform/ui/ViewController.h"
#include "sharing/core/SHKItem.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {
class OperationQueue;
}

// The sharing helper. Its one instance presents the sharing screens (sharers with their forms, the
// share menu, composers, web logins) modally over the application, one at a time. Its class-level
// services keep the favourite sharers per share type and the user's exclusions, credentials per
// sharer in the keychain, shares stored while offline, and make the framework's errors and network
// test.
//
// Presentation: showViewController() presents a screen over the top of the root view controller,
// wrapped in a navigation controller unless it is one. While one is shown, a second one waits: the
// first is dismissed, and once it has gone (a screen reports its disappearance with
// viewWasDismissed()) the waiting one is shown 0.02 seconds later.
//
// Stored state: user defaults "<favsPrefixKey><share type>" (favourite sharer ids, most favoured
// first), "SHKExcluded" (sharer ids the user switched off) and "<favsPrefixKey>Exclusions";
// keychain items with service "<authPrefix><sharer id>" and the field key as account; the offline
// queue in the caches folder's "SHK" folder: the list "SHKOfflineQueue.plist" and one data file per
// queued image or file, named by its entry's uid.
class SHK {
public:
    static constexpr std::string_view errorDomain = "sharing";
    static constexpr std::string_view excludedSharersKey = "SHKExcluded";
    static constexpr std::string_view offlineQueueListName = "SHKOfflineQueue.plist";
    // Posted (no sender) on the default notification centre when a dismissal made through the
    // presenting controller has ended.
    static constexpr std::string_view hideCurrentViewFinishedNotification = "SHKHideCurrentViewFinished";
    static constexpr double pendingViewDelay = 0.02;

    static SHK& currentHelper();

    // Presentation.
    // The application's root of every sharing screen; kept without being owned.
    static void setRootViewController(const std::shared_ptr<ui::ViewController>&);
    void showViewController(std::shared_ptr<ui::ViewController>);
    void hideCurrentViewController() { hideCurrentViewControllerAnimated(true); }
    // Does nothing while a dismissal is running or when no screen is shown.
    void hideCurrentViewControllerAnimated(bool animated);
    // Every sharing screen calls this when it has disappeared.
    void viewWasDismissed();
    void showPendingView();
    // The top-most controller above the current root: where services present sheets of their own.
    std::shared_ptr<ui::ViewController> rootViewForCustomUIDisplay();
    // The stored root, else the controller of the key window (or of the first normal-level window).
    std::shared_ptr<ui::ViewController> getCurrentRootViewController();
    // The last of the controllers presented one above the other from the given one.
    static std::shared_ptr<ui::ViewController> getTopViewController(std::shared_ptr<ui::ViewController>);
    // What the sharers' mail and text-message composers (SHKMailComposeViewController,
    // SHKMessageComposeViewController) do when they disappear: with nothing presented over the
    // composer, the screen it was has gone.
    static void composerDidDisappear(ui::ViewController& composer);

    // The configured styles of the sharing screens.
    static ui::BarStyle barStyle();
    static ui::ModalPresentationStyle modalPresentationStyle();
    static ui::ModalTransitionStyle modalTransitionStyle();

    const std::shared_ptr<ui::ViewController>& currentView() const { return m_currentView; }
    const std::shared_ptr<ui::ViewController>& pendingView() const { return m_pendingView; }
    bool isDismissingView() const { return m_isDismissingView; }
    std::shared_ptr<ui::ViewController> rootViewController() const { return m_rootViewController.lock(); }
    std::shared_ptr<ui::ViewController> currentRootViewController() const { return m_currentRootViewController.lock(); }

    // Favourites and exclusions.
    // The favourites of the type: the stored list, else the configured defaults (stored), less the
    // ids that the offered services do not name (stored when changed) and the excluded ids (kept in
    // the stored list, so that a sharer switched on again is back where it was). While the offered
    // services cannot be read nothing is filtered against them and nothing is stored.
    static std::vector<std::string> favoriteSharersForType(SHKShareType);
    // Moves the sharer to the front of the type's favourites, keeping at most "maxFavCount" that are
    // not excluded; only when favourites are ordered automatically and the sharer is not excluded.
    static void pushOnFavoritesForType(std::string_view sharerId, SHKShareType);
    static void setFavoritesForType(const std::vector<std::string>& sharerIds, SHKShareType);
    static fnd::Id getUserExclusions();
    static void setUserExclusions(const fnd::Id&);

    // The offered services: "SHKSharers.plist" (configuration "sharersPlistName") of the main bundle,
    // keys "actions" and "services" each an array of sharer ids. Read once; nil while it cannot be
    // read (it is looked for again at the next call).
    static fnd::Ref<fnd::Dictionary> sharersDictionary();
    // The sharer ids under the key of the offered services, in order; empty when there are none.
    static std::vector<std::string> offeredSharerIds(std::string_view key);

    // Credentials. Keychain failures are not reported: reads answer nothing, writes pass silently.
    static std::optional<std::string> getAuthValueForKeyForSharer(std::string_view key, std::string_view sharerId);
    static void setAuthValueForKeyForSharer(std::optional<std::string_view> value, std::string_view key, std::string_view sharerId);
    static void removeAuthValueForKeyForSharer(std::string_view key, std::string_view sharerId);
    // Logs out of every offered service (the "services", in order; not the "actions").
    static void logoutOfAll();
    // The sharer class of that id forgets its login; an id without a registered class does nothing.
    static void logoutOfService(std::string_view sharerId);

    // The offline queue.
    // The queue's folder, created when missing.
    static std::filesystem::path offlineQueuePath();
    static std::filesystem::path offlineQueueListPath();
    // The stored entries (dictionaries), or nil when there is no list file or it holds no list.
    static fnd::Ref<fnd::MutableArray> getOfflineQueueList();
    // Whether a uid (or the sharer id it begins with) may name a data file of the queue: one plain
    // name inside the folder that is neither hidden nor the list itself nor a list kept aside.
    static bool isOfflineQueueFileName(std::string_view);
    static bool saveOfflineQueueList(const fnd::Ref<fnd::Array>&);
    // Stores the share for a later replay: the entry {"item", "sharer", "uid"} in the list, and the
    // image (as JPEG) or the file's data in a file named by the uid. Answers false, and leaves no
    // file behind, when offline sharing is switched off, the sharer id cannot name a file or
    // anything cannot be written.
    static bool addToOfflineQueueForSharer(const SHKItem&, std::string_view sharerId);
    // Where offline replays run; made on first use.
    static fnd::OperationQueue& offlineQueue();
    // Online, replays every stored share quietly on the offline queue (SHKOfflineSharer) and
    // deletes the list at once; offline, leaves everything stored.
    static void flushOfflineQueue();

    // Errors and the network.
    // An error of domain "sharing", code 1, whose localised description is the formatted text.
    // Text from a service goes in as an argument: SHK::error("%@", reply).
    template<typename... Arguments>
    static fnd::Ref<fnd::Error> error(std::string_view format, const Arguments&... arguments)
    {
        return fnd::Error::withDescription(std::string(errorDomain), 1, fnd::format(format, arguments...));
    }
    // Whether the internet can be reached now.
    static bool connected();

    // Forgets the screens, the root and the cached offered services, so that each test starts afresh.
    static void resetForTesting();

    SHK(const SHK&) = delete;
    SHK& operator=(const SHK&) = delete;

private:
    SHK() = default;
    void presentOver(ui::ViewController& top, std::shared_ptr<ui::ViewController>);

    std::shared_ptr<ui::ViewController> m_currentView;
    std::shared_ptr<ui::ViewController> m_pendingView;
    bool m_isDismissingView = false;
    std::weak_ptr<ui::ViewController> m_rootViewController;
    std::weak_ptr<ui::ViewController> m_currentRootViewController;
};
