#include "sharing/core/SHKOfflineSharer.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Image.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/core/SHKSharerClass.h"

#include <chrono>

namespace {

// How often a waiting replay looks whether its operation was cancelled.
constexpr auto cancellationCheckInterval = std::chrono::milliseconds(100);

bool carriesDataFile(const SHKItem& item)
{
    return item.shareType() == SHKShareTypeImage || item.shareType() == SHKShareTypeFile;
}

}

void SHK::flushOfflineQueue()
{
    if (!connected())
        return;
    auto list = getOfflineQueueList();
    if (!list)
        return;

    auto& queue = offlineQueue();
    for (auto& entry : *list) {
        auto dictionary = fnd::as<fnd::Dictionary>(entry);
        if (!dictionary)
            continue;
        auto item = SHKItem::itemFromDictionary(dictionary->objectForKeyAs<fnd::Dictionary>("item"));
        auto sharerId = dictionary->stringForKey("sharer");
        auto uid = dictionary->stringForKey("uid");
        // A tampered list must not reach files outside the queue folder.
        if (uid && !isOfflineQueueFileName(*uid))
            continue;
        if (!item || !sharerId) {
            if (uid)
                fnd::FileManager::removeFile(offlineQueuePath() / *uid);
            continue;
        }
        queue.addOperation(SHKOfflineSharer::createWithItemForSharerUid(std::move(item), std::move(*sharerId), std::move(uid)));
    }
    fnd::FileManager::removeItem(offlineQueueListPath());
}

std::shared_ptr<SHKOfflineSharer> SHKOfflineSharer::createWithItemForSharerUid(fnd::Ref<SHKItem> item, std::string sharerId, std::optional<std::string> uid)
{
    return std::make_shared<SHKOfflineSharer>(std::move(item), std::move(sharerId), std::move(uid));
}

SHKOfflineSharer::SHKOfflineSharer(fnd::Ref<SHKItem> item, std::string sharerId, std::optional<std::string> uid)
    : m_item(std::move(item))
    , m_sharerId(std::move(sharerId))
    , m_uid(std::move(uid))
{
}

SHKOfflineSharer::~SHKOfflineSharer() = default;

bool SHKOfflineSharer::shouldRun() const
{
    return !isCancelled() && !isFinished() && !m_readyToFinish.load();
}

void SHKOfflineSharer::main()
{
    if (!shouldRun())
        return;
    auto protectedThis = std::static_pointer_cast<SHKOfflineSharer>(shared_from_this());
    fnd::RunLoop::main().performOnMainAndWait([protectedThis] { protectedThis->share(); });

    std::unique_lock lock(m_lock);
    while (shouldRun())
        m_finished.wait_for(lock, cancellationCheckInterval);
    lock.unlock();

    // Cancelled while the sharer still works: it is let go on the main thread, where it lives.
    if (!m_readyToFinish.load())
        fnd::RunLoop::main().post([protectedThis] { protectedThis->finish(); });
}

void SHKOfflineSharer::share()
{
    auto protectedThis = std::static_pointer_cast<SHKOfflineSharer>(shared_from_this());
    auto sharerClass = SHKSharerClass::named(m_sharerId);
    if (!sharerClass || !m_item) {
        deleteDataFile();
        finish();
        return;
    }

    m_sharer = sharerClass->createSharer();
    m_sharer->setItem(m_item);
    m_sharer->setQuiet(true);
    m_sharer->setShareDelegate(std::shared_ptr<SHKSharerDelegate>(protectedThis, this));

    // A queued share of a sharer whose login has gone is dropped.
    if (!m_sharer->isAuthorized() || !restoreItemData()) {
        deleteDataFile();
        finish();
        return;
    }

    // Offline again, the share goes back into the queue (or is dropped) and nothing will report.
    bool willSend = !sharerClass->shareRequiresInternetConnection() || SHK::connected();
    bool started = m_sharer->tryToSend();
    if (!willSend || !started)
        finish();
}

bool SHKOfflineSharer::restoreItemData()
{
    if (!carriesDataFile(*m_item))
        return true;
    if (!m_uid || !SHK::isOfflineQueueFileName(*m_uid))
        return false;

    auto data = fnd::FileManager::contentsOfFile(SHK::offlineQueuePath() / *m_uid);
    if (!data)
        return false;
    if (m_item->shareType() == SHKShareTypeImage) {
        auto image = gfx::Image::createWithData(*data);
        if (!image)
            return false;
        m_item->setImage(std::move(image));
    } else {
        m_item->setData(std::move(data));
    }
    deleteDataFile();
    return true;
}

void SHKOfflineSharer::deleteDataFile()
{
    if (m_uid && SHK::isOfflineQueueFileName(*m_uid))
        fnd::FileManager::removeFile(SHK::offlineQueuePath() / *m_uid);
}

void SHKOfflineSharer::finish()
{
    if (auto sharer = std::exchange(m_sharer, nullptr))
        sharer->setShareDelegate(nullptr);
    {
        std::lock_guard guard(m_lock);
        m_readyToFinish = true;
    }
    m_finished.notify_all();
}

void SHKOfflineSharer::sharerEnded(SHKSharer& sharer)
{
    sharer.setShareDelegate(nullptr);
    finish();
}

void SHKOfflineSharer::sharerFinishedSending(SHKSharer& sharer)
{
    sharerEnded(sharer);
}

void SHKOfflineSharer::sharerFailedWithErrorShouldRelogin(SHKSharer& sharer, const fnd::Ref<fnd::Error>&, bool)
{
    sharerEnded(sharer);
}

void SHKOfflineSharer::sharerCancelledSending(SHKSharer& sharer)
{
    sharerEnded(sharer);
}
