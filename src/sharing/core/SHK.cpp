#include "sharing/core/SHK.h"

#include "platform/foundation/Assertion.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/String.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"
#include "sharing/core/KeychainStore.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKSharerMetaclass.h"
#include "sharing/reachability/Reachability.h"

#include <algorithm>
#include <mutex>
#include <random>
#include <set>

namespace {

constexpr const char* sourceFile = "Classes/Sharing/Classes/Sharing/Core/SHK";

const DefaultSHKConfigurator& configuration()
{
    return SHKConfiguration::sharedInstance()->configurator();
}

fnd::Ref<fnd::UserDefaults> userDefaults()
{
    return fnd::UserDefaults::standardUserDefaults();
}

std::string favoritesKey(SHKShareType type)
{
    return fnd::format("%@%i", configuration().favsPrefixKey(), static_cast<int32_t>(type));
}

// The strings of a stored array; anything else in it is ignored.
std::vector<std::string> sharerIdsFrom(const fnd::Ref<fnd::Array>& array)
{
    std::vector<std::string> ids;
    if (!array)
        return ids;
    for (auto& object : *array) {
        if (auto text = fnd::as<fnd::String>(object))
            ids.push_back(text->utf8());
    }
    return ids;
}

fnd::Ref<fnd::Array> arrayOfStrings(const std::vector<std::string>& texts)
{
    std::vector<fnd::Id> objects;
    for (auto& text : texts)
        objects.push_back(fnd::String::create(text));
    return fnd::Array::create(std::move(objects));
}

std::optional<std::vector<std::string>> storedSharerIds(std::string_view key)
{
    auto stored = userDefaults()->arrayForKey(key);
    if (!stored)
        return std::nullopt;
    return sharerIdsFrom(stored);
}

void storeSharerIds(const std::vector<std::string>& ids, std::string_view key)
{
    userDefaults()->setObjectForKey(arrayOfStrings(ids), key);
}

std::vector<std::string> defaultFavoritesForType(SHKShareType type)
{
    switch (type) {
    case SHKShareTypeURL:
        return configuration().defaultFavoriteURLSharers();
    case SHKShareTypeText:
        return configuration().defaultFavoriteTextSharers();
    case SHKShareTypeImage:
        return configuration().defaultFavoriteImageSharers();
    case SHKShareTypeFile:
        return configuration().defaultFavoriteFileSharers();
    default:
        return {};
    }
}

bool contains(const std::vector<std::string>& ids, std::string_view id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Removes the ids the predicate picks; answers whether any went.
template<typename Predicate>
bool removeIds(std::vector<std::string>& ids, Predicate&& predicate)
{
    return std::erase_if(ids, std::forward<Predicate>(predicate)) > 0;
}

struct OfferedServices {
    std::mutex lock;
    fnd::Ref<fnd::Dictionary> dictionary;
};

OfferedServices& offeredServices()
{
    static auto* services = new OfferedServices; // never destroyed: worker threads may ask during exit
    return *services;
}

std::string authService(std::string_view sharerId)
{
    return fnd::format("%@%@", configuration().authPrefix(), sharerId);
}

int32_t randomNumber()
{
    thread_local std::mt19937 generator(std::random_device {}());
    return static_cast<int32_t>(generator());
}

fnd::Ref<fnd::Data> offlineDataForItem(const SHKItem& item)
{
    if (item.shareType() == SHKShareTypeImage && item.image())
        return item.image()->jpegRepresentation(1.0);
    if (item.shareType() == SHKShareTypeFile)
        return item.data();
    return nullptr;
}

// A list that cannot be read is kept beside the new one ("<name>.corrupt") instead of being overwritten.
bool setAsideUnreadableList(const std::filesystem::path& listPath)
{
    auto setAside = listPath;
    setAside += ".corrupt";
    if (fnd::FileManager::fileExists(setAside))
        fnd::FileManager::removeItem(setAside);
    if (!fnd::FileManager::moveItem(listPath, setAside))
        return false;
    fnd::Log::format("The offline queue's list could not be read; it was kept as %@", setAside.filename().string());
    return true;
}

}

SHK& SHK::currentHelper()
{
    static auto* helper = new SHK; // lives as long as the process
    return *helper;
}

void SHK::setRootViewController(const std::shared_ptr<ui::ViewController>& controller)
{
    currentHelper().m_rootViewController = controller;
}

std::shared_ptr<ui::ViewController> SHK::getCurrentRootViewController()
{
    if (auto root = m_rootViewController.lock())
        return root;

    auto& application = ui::Application::shared();
    auto window = application.keyWindow();
    if (window && window->windowLevel() != ui::WindowLevel::Normal) {
        window = nullptr;
        for (auto& candidate : application.windows()) {
            if (candidate->windowLevel() == ui::WindowLevel::Normal) {
                window = candidate;
                break;
            }
        }
    }
    if (window) {
        auto& subviews = window->subviews();
        if (!subviews.empty()) {
            if (auto controller = std::dynamic_pointer_cast<ui::ViewController>(subviews.front()->nextResponder()))
                return controller;
        }
        if (auto controller = window->rootViewController())
            return controller;
    }
    FND_ASSERT_AT_LINE(false, sourceFile, 200, "Sharing: Could not find a root view controller.  You can assign one manually by calling [[SHK currentHelper] setRootViewController:YOURROOTVIEWCONTROLLER].");
    return nullptr;
}

std::shared_ptr<ui::ViewController> SHK::getTopViewController(std::shared_ptr<ui::ViewController> controller)
{
    while (controller) {
        auto presented = controller->modalViewController();
        if (!presented)
            break;
        controller = std::move(presented);
    }
    return controller;
}

std::shared_ptr<ui::ViewController> SHK::rootViewForCustomUIDisplay()
{
    return getTopViewController(getCurrentRootViewController());
}

void SHK::showViewController(std::shared_ptr<ui::ViewController> controller)
{
    if (!controller)
        return;
    auto root = getCurrentRootViewController();
    m_currentRootViewController = root;
    auto top = getTopViewController(root);
    if (!FND_ASSERT_AT_LINE(top, sourceFile, 119, "Sharing: There is no view controller to display from"))
        return;

    if (m_currentView) {
        // Through the same rule as hiding, so that the dismissal is the one viewWasDismissed() ends.
        m_pendingView = std::move(controller);
        hideCurrentViewControllerAnimated(true);
        return;
    }
    presentOver(*top, std::move(controller));
    m_pendingView = nullptr;
}

void SHK::presentOver(ui::ViewController& top, std::shared_ptr<ui::ViewController> controller)
{
    auto navigationController = std::dynamic_pointer_cast<ui::NavigationController>(controller);
    if (!navigationController)
        navigationController = ui::NavigationController::createWithRootViewController(controller);
    navigationController->setModalPresentationStyle(modalPresentationStyle());
    navigationController->setModalTransitionStyle(modalTransitionStyle());
    top.presentViewController(navigationController, true);
    navigationController->toolbar()->setBarStyle(barStyle());
    navigationController->navigationBar()->setBarStyle(barStyle());
    navigationController->navigationBar()->setTintColor(configuration().barTintForView(controller));
    m_currentView = std::move(navigationController);
}

void SHK::hideCurrentViewControllerAnimated(bool animated)
{
    if (m_isDismissingView || !m_currentView)
        return;
    if (auto parent = m_currentView->parentViewController()) {
        m_isDismissingView = true;
        parent->dismissModalViewController(animated);
        return;
    }
    if (auto presenting = m_currentView->presentingViewController()) {
        m_isDismissingView = true;
        presenting->dismissViewController(animated, [] {
            fnd::OperationQueue::mainQueue().addOperation([] {
                fnd::NotificationCenter::defaultCenter().post(std::string(hideCurrentViewFinishedNotification));
            });
        });
        return;
    }
    // The screen is on nothing: it has gone already, and a waiting one may come.
    viewWasDismissed();
}

void SHK::viewWasDismissed()
{
    m_isDismissingView = false;
    m_currentView = nullptr;
    m_currentRootViewController.reset();
    if (m_pendingView)
        fnd::RunLoop::main().performAfterDelay(pendingViewDelay, [this] { showPendingView(); }, this, "showPendingView");
}

void SHK::showPendingView()
{
    if (m_pendingView)
        showViewController(m_pendingView);
}

void SHK::composerDidDisappear(ui::ViewController& composer)
{
    if (!composer.modalViewController())
        currentHelper().viewWasDismissed();
}

ui::BarStyle SHK::barStyle()
{
    auto style = configuration().barStyle();
    if (style == "UIBarStyleBlack" || style == "UIBarStyleBlackOpaque")
        return ui::BarStyle::Black;
    if (style == "UIBarStyleBlackTranslucent")
        return ui::BarStyle::BlackTranslucent;
    return ui::BarStyle::Default;
}

ui::ModalPresentationStyle SHK::modalPresentationStyle()
{
    auto style = configuration().modalPresentationStyle();
    if (style == "UIModalPresentationFullScreen")
        return ui::ModalPresentationStyle::FullScreen;
    if (style == "UIModalPresentationPageSheet")
        return ui::ModalPresentationStyle::PageSheet;
    if (style == "UIModalPresentationFormSheet")
        return ui::ModalPresentationStyle::FormSheet;
    return ui::ModalPresentationStyle::CurrentContext;
}

ui::ModalTransitionStyle SHK::modalTransitionStyle()
{
    auto style = configuration().modalTransitionStyle();
    if (style == "UIModalTransitionStyleFlipHorizontal")
        return ui::ModalTransitionStyle::FlipHorizontal;
    if (style == "UIModalTransitionStyleCrossDissolve")
        return ui::ModalTransitionStyle::CrossDissolve;
    if (style == "UIModalTransitionStylePartialCurl")
        return ui::ModalTransitionStyle::PartialCurl;
    return ui::ModalTransitionStyle::CoverVertical;
}

namespace {

// The stored favourites of the type (the configured defaults, stored, when there are none) less
// the ids the offered services do not name. Excluded ids stay in the stored list, in their places,
// so that a sharer switched off and on again comes back where it was.
std::vector<std::string> storedFavoritesForType(SHKShareType type)
{
    auto key = favoritesKey(type);
    auto offered = SHK::sharersDictionary();
    // Without the offered services the list cannot be checked: store nothing, so that nothing is
    // lost until they can be read again.
    auto favorites = storedSharerIds(key);
    if (!favorites) {
        favorites = defaultFavoritesForType(type);
        if (offered)
            storeSharerIds(*favorites, key);
    }

    if (offered) {
        std::set<std::string, std::less<>> offeredIds;
        offered->forEachEntry([&](const fnd::Id&, const fnd::Id& value, bool&) {
            for (auto& id : sharerIdsFrom(fnd::as<fnd::Array>(value)))
                offeredIds.insert(id);
        });
        if (removeIds(*favorites, [&](auto& id) { return !offeredIds.contains(id); }))
            storeSharerIds(*favorites, key);
    }
    return *favorites;
}

}

std::vector<std::string> SHK::favoriteSharersForType(SHKShareType type)
{
    auto favorites = storedFavoritesForType(type);
    if (auto excluded = storedSharerIds(excludedSharersKey))
        removeIds(favorites, [&](auto& id) { return contains(*excluded, id); });
    return favorites;
}

void SHK::pushOnFavoritesForType(std::string_view sharerId, SHKShareType type)
{
    if (!configuration().autoOrderFavoriteSharers())
        return;
    auto excluded = storedSharerIds(excludedSharersKey).value_or(std::vector<std::string>());
    if (contains(excluded, sharerId))
        return;
    auto favorites = storedFavoritesForType(type);
    removeIds(favorites, [&](auto& id) { return id == sharerId; });
    favorites.insert(favorites.begin(), std::string(sharerId));
    // At most "maxFavCount" shown; excluded ids before the cut keep their places.
    size_t maximum = static_cast<size_t>(std::max<int64_t>(configuration().maxFavCount(), 0));
    size_t shown = 0;
    auto cut = std::find_if(favorites.begin(), favorites.end(), [&](auto& id) {
        if (contains(excluded, id))
            return false;
        return shown++ == maximum;
    });
    favorites.erase(cut, favorites.end());
    setFavoritesForType(favorites, type);
}

void SHK::setFavoritesForType(const std::vector<std::string>& sharerIds, SHKShareType type)
{
    storeSharerIds(sharerIds, favoritesKey(type));
}

fnd::Id SHK::getUserExclusions()
{
    return userDefaults()->objectForKey(fnd::format("%@Exclusions", configuration().favsPrefixKey()));
}

void SHK::setUserExclusions(const fnd::Id& exclusions)
{
    userDefaults()->setObjectForKey(exclusions, fnd::format("%@Exclusions", configuration().favsPrefixKey()));
}

fnd::Ref<fnd::Dictionary> SHK::sharersDictionary()
{
    auto& services = offeredServices();
    std::lock_guard guard(services.lock);
    if (!services.dictionary) {
        auto path = fnd::Bundle::main()->resourcePath() / configuration().sharersPlistName();
        services.dictionary = fnd::as<fnd::Dictionary>(fnd::PropertyList::readFile(path));
    }
    return services.dictionary;
}

std::vector<std::string> SHK::offeredSharerIds(std::string_view key)
{
    auto offered = sharersDictionary();
    return offered ? sharerIdsFrom(offered->objectForKeyAs<fnd::Array>(key)) : std::vector<std::string>();
}

std::optional<std::string> SHK::getAuthValueForKeyForSharer(std::string_view key, std::string_view sharerId)
{
    return KeychainStore::passwordForServiceAccount(authService(sharerId), key);
}

void SHK::setAuthValueForKeyForSharer(std::optional<std::string_view> value, std::string_view key, std::string_view sharerId)
{
    KeychainStore::setPasswordForServiceAccount(value, authService(sharerId), key);
}

void SHK::removeAuthValueForKeyForSharer(std::string_view key, std::string_view sharerId)
{
    KeychainStore::deletePasswordForServiceAccount(authService(sharerId), key);
}

void SHK::logoutOfAll()
{
    for (auto& sharerId : offeredSharerIds("services"))
        logoutOfService(sharerId);
}

void SHK::logoutOfService(std::string_view sharerId)
{
    if (auto sharerClass = SHKSharerMetaclass::named(sharerId))
        sharerClass->logout();
}

std::filesystem::path SHK::offlineQueuePath()
{
    auto path = fnd::FileManager::cachesDirectory() / "SHK";
    fnd::FileManager::createDirectory(path);
    return path;
}

std::filesystem::path SHK::offlineQueueListPath()
{
    return offlineQueuePath() / offlineQueueListName;
}

fnd::Ref<fnd::MutableArray> SHK::getOfflineQueueList()
{
    auto stored = fnd::as<fnd::Array>(fnd::PropertyList::readFile(offlineQueueListPath()));
    if (!stored)
        return nullptr;
    auto list = fnd::MutableArray::create();
    for (auto& entry : *stored) {
        if (fnd::is<fnd::Dictionary>(entry))
            list->addObject(entry);
    }
    return list;
}

bool SHK::isOfflineQueueFileName(std::string_view name)
{
    return !name.empty() && !name.starts_with('.') && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos && !name.starts_with(offlineQueueListName);
}

bool SHK::saveOfflineQueueList(const fnd::Ref<fnd::Array>& list)
{
    return list && fnd::PropertyList::writeFile(list, offlineQueueListPath());
}

bool SHK::addToOfflineQueueForSharer(const SHKItem& item, std::string_view sharerId)
{
    if (!configuration().allowOffline() || !isOfflineQueueFileName(sharerId))
        return false;

    auto folder = offlineQueuePath();
    if (!fnd::FileManager::isDirectory(folder))
        return false;

    auto listPath = folder / offlineQueueListName;
    auto list = getOfflineQueueList();
    if (!list && fnd::FileManager::fileExists(listPath) && !setAsideUnreadableList(listPath))
        return false;
    if (!list)
        list = fnd::MutableArray::create();

    auto uid = fnd::format("%@-%i-%i-%i", sharerId, static_cast<int32_t>(item.shareType()),
        static_cast<int32_t>(fnd::Clock::current().now()), randomNumber());
    if (!isOfflineQueueFileName(uid))
        return false;
    auto dataPath = folder / uid;
    auto data = offlineDataForItem(item);
    if (item.shareType() == SHKShareTypeImage && item.image() && !data)
        return false;
    if (data && !fnd::FileManager::writeAtomically(dataPath, data->span()))
        return false;

    list->addObject(fnd::Dictionary::create({
        { fnd::String::create("item"), item.dictionaryRepresentation() },
        { fnd::String::create("sharer"), fnd::String::create(sharerId) },
        { fnd::String::create("uid"), fnd::String::create(uid) },
    }));
    if (!saveOfflineQueueList(list)) {
        if (data)
            fnd::FileManager::removeFile(dataPath);
        return false;
    }
    return true;
}

fnd::OperationQueue& SHK::offlineQueue()
{
    static auto* queue = new fnd::OperationQueue; // lives as long as the process, as the helper does
    return *queue;
}

bool SHK::connected()
{
    auto reachability = Reachability::reachabilityForInternetConnection();
    return reachability && reachability->currentReachabilityStatus() != NotReachable;
}

void SHK::resetForTesting()
{
    auto& helper = currentHelper();
    fnd::RunLoop::main().cancelPerforms(&helper, "showPendingView");
    helper.m_currentView = nullptr;
    helper.m_pendingView = nullptr;
    helper.m_isDismissingView = false;
    helper.m_rootViewController.reset();
    helper.m_currentRootViewController.reset();

    auto& services = offeredServices();
    std::lock_guard guard(services.lock);
    services.dictionary = nullptr;
}
