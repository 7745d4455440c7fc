#include "platform/graphics/CairoHandles.h"

namespace gfx {

SurfacePtr createImageSurface(cairo_format_t format, int width, int height)
{
    if (width <= 0 || height <= 0 || width > maximumSurfaceSide || height > maximumSurfaceSide)
        return nullptr;
    SurfacePtr surface(cairo_image_surface_create(format, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return surface;
}

SurfacePtr retainSurface(cairo_surface_t* surface)
{
    return SurfacePtr(cairo_surface_reference(surface));
}

}
