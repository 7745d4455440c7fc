#pragma once

#include <cstdint>

namespace gfx {

// Decoders refuse images larger than this, so that a hostile header (or a photo far beyond what a
// phone's screen shows) cannot make us allocate more than 64 MB for one picture.
constexpr uint64_t maximumDecodedPixelCount = 4096ull * 4096;

bool isAcceptableImageSize(uint64_t width, uint64_t height);

}
