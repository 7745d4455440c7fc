#pragma once

#include "platform/foundation/Object.h"

#include <cstdint>

class SelectionListViewController;

// Hears which item of a pick-one list the user chose, with the reference the list was given.
class SelectionListViewControllerDelegate {
public:
    virtual ~SelectionListViewControllerDelegate();

    virtual void selectionListViewControllerSelectedIndexWithReference(SelectionListViewController&, int32_t /* selectedIndex */,
        const fnd::Id& /* reference */)
    {
    }
};
