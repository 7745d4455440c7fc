#pragma once

namespace ab {

// The forms in which a person's photo is handed out.
enum class ImageFormat {
    Thumbnail,
    OriginalSize,
};

}
