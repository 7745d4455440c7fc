#include "sharing/ui/SHKShareWithSharer.h"

#include "platform/runtime/ClassRegistry.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/ui/SHKShareItemDelegate.h"

std::shared_ptr<SHKSharer> SHKShareWithSharer(std::string_view sharerId, const fnd::Ref<SHKItem>& item, const std::shared_ptr<SHKShareItemDelegate>& gate)
{
    auto sharer = rt::ClassRegistry::shared().create<SHKSharer>(sharerId);
    if (!sharer)
        return nullptr;
    // Without an item the sharer keeps its own empty one.
    if (item)
        sharer->loadItem(item);
    if (!gate || gate->aboutToShareItemWithSharer(*sharer->item(), *sharer))
        sharer->share();
    return sharer;
}
