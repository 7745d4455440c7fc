#pragma once

#include "platform/foundation/Format.h"
#include "platform/foundation/Object.h"
#include "platform/graphics/Color.h"

// A colour as a dynamic value, for configuration values read by name.
class SHKColorValue final : public fnd::Object {
public:
    explicit SHKColorValue(gfx::Color color)
        : m_color(color)
    {
    }

    const gfx::Color& color() const { return m_color; }

    std::string_view className() const override { return "SHKColorValue"; }
    std::string description() const override
    {
        return fnd::format("RGBA %f %f %f %f", m_color.red, m_color.green, m_color.blue, m_color.alpha);
    }

private:
    gfx::Color m_color;
};
