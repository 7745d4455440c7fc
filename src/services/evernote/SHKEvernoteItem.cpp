#include "services/evernote/SHKEvernoteItem.h"

fnd::Ref<SHKEvernoteItem> SHKEvernoteItem::create()
{
    return std::make_shared<SHKEvernoteItem>();
}

std::shared_ptr<const EDAMNote> SHKEvernoteItem::note() const
{
    std::lock_guard guard(m_lock);
    return m_note;
}

void SHKEvernoteItem::setNote(std::shared_ptr<const EDAMNote> note)
{
    std::lock_guard guard(m_lock);
    m_note = std::move(note);
}
