#pragma once

#include "sharing/core/SHKItem.h"

#include <memory>
#include <string_view>

class SHKShareItemDelegate;
class SHKSharer;

// What choosing a sharer on the action sheet or the share menu does: makes a sharer of the class
// registered under the id, loads the item into it (which moves it up the favourites) and starts
// the share, unless the gate, when there is one, says no. Answers the sharer, or nothing when no
// sharer class has that id. The caller need not keep the sharer: it holds itself while it works.
std::shared_ptr<SHKSharer> SHKShareWithSharer(std::string_view sharerId, const fnd::Ref<SHKItem>&, const std::shared_ptr<SHKShareItemDelegate>& gate);
