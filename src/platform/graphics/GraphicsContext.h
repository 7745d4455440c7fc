#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/CairoHandles.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pixel.h"
#include "platform/graphics/RawImage.h"
#include "platform/graphics/Rect.h"
#include "platform/graphics/TextLayout.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace gfx {

class Image;

// Numbered as the platform numbered them.
enum class InterpolationQuality {
    Default = 0,
    None = 1,
    Low = 2,
    High = 3,
    Medium = 4,
};

enum class BlendMode {
    Normal = 0,
    // Erases what the drawing covers.
    Clear = 16,
};

enum class FillRule {
    NonZero,
    EvenOdd,
};

// Drawing into pixels, with the platform's model: a current transform, a current path that fills,
// strokes and clips consume, and a stack of saved states. The two kinds of context differ in
// where their origin lies: a bitmap context has it at the bottom left with y growing upwards, an
// image context at the top left with y growing downwards. Pictures and text appear upright in both;
// raw pixels follow user space (see drawRawImage).
class GraphicsContext {
public:
    virtual ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    size_t pixelsWide() const;
    size_t pixelsHigh() const;

    // Saves the transform, clip, colours, line width, alpha, blend mode and interpolation quality.
    // The current path is not part of the state. A restore without a save does nothing.
    void saveState();
    void restoreState();

    void translate(double tx, double ty);
    void scale(double sx, double sy);
    void rotate(double angle);
    // The transform applies to coordinates before the current one.
    void concatenate(const AffineTransform&);
    // User space to device pixels with the origin at the bottom-left pixel, y growing upwards.
    AffineTransform currentTransform() const;

    void setInterpolationQuality(InterpolationQuality);
    InterpolationQuality interpolationQuality() const;
    // Multiplies the opacity of everything drawn afterwards.
    void setAlpha(double);
    double alpha() const;
    void setBlendMode(BlendMode);
    void setFillColor(const Color&);
    void setStrokeColor(const Color&);
    void setLineWidth(double);

    void beginPath();
    void moveTo(Point);
    // Without a current point this does nothing.
    void addLineTo(Point);
    void addRect(const Rect&);
    // Angles in radians; clockwise in the sense of a y-up space.
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
    // The arc of the given radius tangent to the line from the current point to `corner` and to
    // the line from `corner` to `end`, preceded by a line from the current point to where the arc
    // starts. When the three points are in line (or the radius is 0) it is a line to `corner`.
    void addArcToPoint(Point corner, Point end, double radius);
    // A closed rectangle whose corners are quarter circles of the radius (limited to half the
    // shorter side).
    void addRoundedRect(const Rect&, double cornerRadius);
    void closePath();
    bool isPathEmpty() const;
    // In user space; none without a current point.
    std::optional<Point> currentPoint() const;

    // Each consumes the current path.
    void clip(FillRule = FillRule::NonZero);
    void fillPath(FillRule = FillRule::NonZero);
    void strokePath();
    // These leave the current path alone.
    void fillRect(const Rect&);
    void strokeRect(const Rect&);

    // Draws the pixels stretched into the rectangle with the first row at the rectangle's maximum y
    // in user space: upright in a bitmap context, upside down in an image context unless its space
    // is flipped first, as on the platform.
    void drawRawImage(const RawImage&, const Rect&);
    // Draws the picture stretched into the rectangle, upright in both kinds of context, its
    // orientation applied, with the blend mode and opacity given (in place of the context's) for this
    // drawing only.
    void drawImage(const Image&, const Rect&, BlendMode = BlendMode::Normal, double alpha = 1);

    // Lays the text out in the rectangle (the text measurer decides the line breaks), draws the lines
    // that fit, clipped to the rectangle, and answers the size used. Text reads upright in both kinds
    // of context, from the rectangle's top edge (its maximum y in a bitmap context).
    Size drawText(std::string_view, const Rect&, const Font&, const Color&, TextAlignment = TextAlignment::Left,
        LineBreakMode = LineBreakMode::WordWrap, int maximumLines = 0);
    // One line from the point (its top left corner, as the text reads).
    Size drawTextAtPoint(std::string_view, Point, const Font&, const Color&);

    // A copy of the pixels drawn so far; the context can go on drawing.
    virtual std::shared_ptr<const RawImage> createRawImage() const = 0;
    // Memory coordinates: row 0 is the first row in memory.
    Pixel pixelAt(size_t x, size_t row) const;

protected:
    enum class Origin {
        BottomLeft,
        TopLeft,
    };
    // `baseTransform` maps user space to cairo's device space (top-left origin, y down).
    GraphicsContext(SurfacePtr, const AffineTransform& baseTransform, Origin);

    cairo_surface_t* surface() const { return m_surface.get(); }

private:
    struct State {
        AffineTransform transform;
        bool isTransformSingular { false };
        InterpolationQuality interpolationQuality { InterpolationQuality::Default };
        double alpha { 1 };
        BlendMode blendMode { BlendMode::Normal };
        Color fillColor { Color::black() };
        Color strokeColor { Color::black() };
        double lineWidth { 1 };
    };

    void applyTransform(const AffineTransform&);
    bool canDraw() const;
    void setSource(const Color&);
    void setOperator(BlendMode);
    void setFillRule(FillRule);
    class PreservedPath;

    // Moves cairo's user space to a frame with y growing downwards as text reads, whose origin lies
    // at the given point (the top-left corner of the text, as it reads).
    void enterReadingFrame(Point topLeft);
    // Moves cairo's user space to a frame with y growing upwards whose origin lies at the corner of
    // the rectangle that appears at the bottom left.
    void enterUprightFrame(const Rect&);
    void paintRawImage(const RawImage&, Size area, BlendMode, double alpha);
    void paintRect(const Rect&, bool stroke);

    SurfacePtr m_surface;
    CairoPtr m_cairo;
    Origin m_origin;
    State m_state;
    std::vector<State> m_savedStates;
};

}
