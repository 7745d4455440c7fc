#pragma once

#include "platform/foundation/OperationQueue.h"
#include "sharing/core/SHKItem.h"
#include "sharing/core/SHKSharerDelegate.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class SHKSharer;

// The replay of one share stored in the offline queue (SHK::flushOfflineQueue() makes one per
// entry). On its queue's thread it has its sharer run the share on the main thread, quietly, and
// waits until the sharer reports the end. A share whose sharer is unknown, no longer logged in or
// not sent ends at once; a replay that finds the network gone again leaves the share queued anew.
// The entry's data file (the image or file) is read back into the item and deleted; a dropped
// entry's file is deleted too.
class SHKOfflineSharer final : public fnd::Operation, public SHKSharerDelegate {
public:
    static std::shared_ptr<SHKOfflineSharer> createWithItemForSharerUid(fnd::Ref<SHKItem>, std::string sharerId, std::optional<std::string> uid);

    SHKOfflineSharer(fnd::Ref<SHKItem>, std::string sharerId, std::optional<std::string> uid);
    ~SHKOfflineSharer() override;

    const fnd::Ref<SHKItem>& item() const { return m_item; }
    const std::string& sharerId() const { return m_sharerId; }
    const std::optional<std::string>& uid() const { return m_uid; }
    bool readyToFinish() const { return m_readyToFinish.load(); }
    // Main thread: the sharer doing the replay, until it has ended.
    const std::shared_ptr<SHKSharer>& sharer() const { return m_sharer; }

    // Main thread: runs the stored share.
    void share();
    bool shouldRun() const;
    // Ends the replay and wakes the operation's thread.
    void finish();

    void sharerStartedSending(SHKSharer&) override { }
    void sharerFinishedSending(SHKSharer&) override;
    void sharerFailedWithErrorShouldRelogin(SHKSharer&, const fnd::Ref<fnd::Error>&, bool shouldRelogin) override;
    void sharerCancelledSending(SHKSharer&) override;
    void sharerAuthDidFinishSuccess(SHKSharer&, bool) override { }

protected:
    void main() override;

private:
    // Puts the entry's image or file back into the item; false when it cannot be read.
    bool restoreItemData();
    void deleteDataFile();
    void sharerEnded(SHKSharer&);

    fnd::Ref<SHKItem> m_item;
    std::string m_sharerId;
    std::optional<std::string> m_uid;
    std::shared_ptr<SHKSharer> m_sharer;

    std::atomic<bool> m_readyToFinish { false };
    std::mutex m_lock;
    std::condition_variable m_finished;
};
