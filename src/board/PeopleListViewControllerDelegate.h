#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <string>

namespace ui {
class ViewController;
}

// Hears which phone number the user picked in the phone-number picker, in place of the picker
// filling a board picture itself.
class PeopleListViewControllerDelegate {
public:
    virtual ~PeopleListViewControllerDelegate();

    // The picker, the contact's photo, the picker's selected index, the contact's name, the phone
    // number without blanks and the reference the picker was given.
    virtual void peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController& picker,
        const fnd::Ref<gfx::Image>& photo, int32_t selectedIndex, const std::string& name, const std::string& phone,
        const fnd::Id& reference)
        = 0;
};
