#include "platform/graphics/PNGCodec.h"

#include "platform/graphics/ImageLimits.h"
#include "platform/graphics/SurfacePixels.h"

#include <algorithm>
#include <cstring>

namespace gfx {

namespace {

constexpr uint8_t signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };

struct ReadCursor {
    std::span<const uint8_t> bytes;
    size_t offset { 0 };
};

cairo_status_t readBytes(void* closure, unsigned char* buffer, unsigned int length)
{
    auto& cursor = *static_cast<ReadCursor*>(closure);
    if (cursor.bytes.size() - cursor.offset < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(buffer, cursor.bytes.data() + cursor.offset, length);
    cursor.offset += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto& output = *static_cast<std::vector<uint8_t>*>(closure);
    output.insert(output.end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

uint32_t bigEndianWord(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | uint32_t(bytes[3]);
}

// The header chunk comes first; its size is checked before anything is allocated.
bool headerDeclaresAcceptableSize(std::span<const uint8_t> bytes)
{
    constexpr size_t headerEnd = 8 + 8 + 8;
    if (bytes.size() < headerEnd || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return false;
    return isAcceptableImageSize(bigEndianWord(bytes.data() + 16), bigEndianWord(bytes.data() + 20));
}

}

bool PNGCodec::hasSignature(std::span<const uint8_t> bytes)
{
    return bytes.size() >= sizeof signature && std::equal(std::begin(signature), std::end(signature), bytes.begin());
}

SurfacePtr PNGCodec::decode(std::span<const uint8_t> bytes)
{
    if (!hasSignature(bytes) || !headerDeclaresAcceptableSize(bytes))
        return nullptr;
    ReadCursor cursor { bytes };
    SurfacePtr surface(cairo_image_surface_create_from_png_stream(readBytes, &cursor));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return surfacePixels::normalizedToRGB(std::move(surface));
}

std::vector<uint8_t> PNGCodec::encode(cairo_surface_t* surface)
{
    std::vector<uint8_t> output;
    if (cairo_surface_write_to_png_stream(surface, appendBytes, &output) != CAIRO_STATUS_SUCCESS)
        return {};
    return output;
}

}
