#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Rect.h"
#include "platform/graphics/Size.h"

#include <optional>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class View;

// The drawing properties a view's layer adds: rounded corners, a border, a shadow and clipping.
// Every view has one (View::layer()); its bounds and background are the view's. A layer made on
// its own keeps bounds and a background of its own, for code that draws a rounded lozenge into an
// image context.
class Layer {
public:
    Layer() = default;
    explicit Layer(View& owner);
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    gfx::Rect bounds() const;
    void setBounds(const gfx::Rect&);
    std::optional<gfx::Color> backgroundColor() const;
    void setBackgroundColor(std::optional<gfx::Color>);

    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius) { m_cornerRadius = radius; }
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width) { m_borderWidth = width; }
    gfx::Color borderColor() const { return m_borderColor; }
    void setBorderColor(gfx::Color color) { m_borderColor = color; }

    gfx::Color shadowColor() const { return m_shadowColor; }
    void setShadowColor(gfx::Color color) { m_shadowColor = color; }
    double shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(double opacity) { m_shadowOpacity = opacity; }
    gfx::Size shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(gfx::Size offset) { m_shadowOffset = offset; }
    double shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(double radius) { m_shadowRadius = radius; }
    bool hasShadow() const { return m_shadowOpacity > 0; }

    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks) { m_masksToBounds = masks; }

    View* owner() const { return m_owner; }

    // Draws the layer at its bounds: a view's layer draws the view and its subviews; a layer of its
    // own draws its rounded background and border.
    void renderInContext(gfx::GraphicsContext&) const;

private:
    View* m_owner = nullptr;
    gfx::Rect m_bounds;
    std::optional<gfx::Color> m_backgroundColor;
    double m_cornerRadius = 0;
    double m_borderWidth = 0;
    gfx::Color m_borderColor = gfx::Color::black();
    gfx::Color m_shadowColor = gfx::Color::black();
    double m_shadowOpacity = 0;
    gfx::Size m_shadowOffset { 0, -3 };
    double m_shadowRadius = 3;
    bool m_masksToBounds = false;
};

}
