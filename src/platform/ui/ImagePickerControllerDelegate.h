#pragma once

#include "platform/foundation/Dictionary.h"

namespace ui {

class ImagePickerController;

// Hears what the user picked; both operations are optional. Without a delegate the picker takes
// itself away.
class ImagePickerControllerDelegate {
public:
    virtual ~ImagePickerControllerDelegate();

    // The information holds the picture under ImagePickerController::originalImageKey.
    virtual void didFinishPickingMediaWithInfo(ImagePickerController&, const fnd::Ref<fnd::Dictionary>& /* info */) { }
    virtual void imagePickerControllerDidCancel(ImagePickerController&) { }
};

}
