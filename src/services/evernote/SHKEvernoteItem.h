#pragma once

#include "edam/EDAMTypes_types.h"
#include "sharing/core/SHKItem.h"

#include <memory>
#include <mutex>

// A share item that can carry a prepared note: the Evernote sharer completes that note (title,
// notebook, tags, content, pictures to download) instead of making a new one.
class SHKEvernoteItem final : public SHKItem {
public:
    static fnd::Ref<SHKEvernoteItem> create();

    // Nil when there is none. Readable and settable from any thread.
    std::shared_ptr<const EDAMNote> note() const;
    void setNote(std::shared_ptr<const EDAMNote>);

    std::string_view className() const override { return "SHKEvernoteItem"; }

private:
    mutable std::mutex m_lock;
    std::shared_ptr<const EDAMNote> m_note;
};
