#pragma once

#include <cstdint>

namespace gfx {

// Decoders refuse images larger than this, so that a hostile header cannot make us allocate
// gigabytes.
constexpr uint64_t maximumDecodedPixelCount = 64ull * 1024 * 1024;

bool isAcceptableImageSize(uint64_t width, uint64_t height);

}
