#pragma once

#include "platform/foundation/Object.h"

#include <cstdint>
#include <memory>

class PeopleListViewControllerDelegate;
class TouchImageView;

namespace ui {
class ViewController;
}

// What the phone-number picker is opened with: the picture a pick fills (when there is no
// delegate), or the delegate that hears of the pick instead.
struct PeopleListRequest {
    std::shared_ptr<TouchImageView> touchImage;
    std::weak_ptr<PeopleListViewControllerDelegate> delegate;
    int32_t selectedIndex { -1 };
    fnd::Id reference;
};

// Where the board makes the screens it opens over itself: the phone-number picker
// (PeopleListViewController) and the picture settings screen. Each is made here, in one function.
// The settings screen is built separately; until it is in place its function answers a
// StandInViewController that says which screen belongs there and keeps what it was opened with.
class BoardScreens {
public:
    // The picker in the grouped table style.
    static std::shared_ptr<ui::ViewController> makePeopleListViewController(const PeopleListRequest&);
    // The settings screen for one picture.
    static std::shared_ptr<ui::ViewController> makeEditTouchImageViewController(const std::shared_ptr<TouchImageView>&);
};
