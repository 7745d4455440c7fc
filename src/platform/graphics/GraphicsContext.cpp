#include "platform/graphics/GraphicsContext.h"

#include "platform/graphics/CairoTextMeasurer.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/SurfacePixels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gfx {

namespace {

cairo_matrix_t toCairo(const AffineTransform& transform)
{
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, transform.a, transform.b, transform.c, transform.d, transform.tx, transform.ty);
    return matrix;
}

bool isFinite(const AffineTransform& transform)
{
    return std::isfinite(transform.a) && std::isfinite(transform.b) && std::isfinite(transform.c) && std::isfinite(transform.d)
        && std::isfinite(transform.tx) && std::isfinite(transform.ty);
}

bool isFinite(Point point)
{
    return std::isfinite(point.x) && std::isfinite(point.y);
}

bool isUsable(const Rect& rect)
{
    return !rect.isEmpty() && std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width)
        && std::isfinite(rect.size.height);
}

double unitClamped(double value)
{
    return std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0);
}

cairo_filter_t filterFor(InterpolationQuality quality)
{
    switch (quality) {
    case InterpolationQuality::None:
        return CAIRO_FILTER_NEAREST;
    case InterpolationQuality::Low:
        return CAIRO_FILTER_FAST;
    case InterpolationQuality::High:
        return CAIRO_FILTER_BEST;
    case InterpolationQuality::Default:
    case InterpolationQuality::Medium:
        break;
    }
    return CAIRO_FILTER_GOOD;
}

// Whole quarter turns, exact, so that pixel centres stay on pixel centres.
AffineTransform quarterTurns(int turns)
{
    switch ((turns % 4 + 4) % 4) {
    case 1:
        return { 0, 1, -1, 0, 0, 0 };
    case 2:
        return { -1, 0, 0, -1, 0, 0 };
    case 3:
        return { 0, -1, 1, 0, 0, 0 };
    default:
        return {};
    }
}

// In a y-up space: what turns pixels drawn with their first row at the top of (0, 0, size), or of
// the transposed size for the orientations that swap the sides, into the upright picture.
AffineTransform uprightTransform(ImageOrientation orientation, Size size)
{
    AffineTransform transform;
    switch (orientation) {
    case ImageOrientation::Down:
    case ImageOrientation::DownMirrored:
        transform = quarterTurns(2).concatenating(transform.translatedBy(size.width, size.height));
        break;
    case ImageOrientation::Left:
    case ImageOrientation::LeftMirrored:
        transform = quarterTurns(1).concatenating(transform.translatedBy(size.width, 0));
        break;
    case ImageOrientation::Right:
    case ImageOrientation::RightMirrored:
        transform = quarterTurns(-1).concatenating(transform.translatedBy(0, size.height));
        break;
    default:
        break;
    }
    switch (orientation) {
    case ImageOrientation::UpMirrored:
    case ImageOrientation::DownMirrored:
        transform = transform.translatedBy(size.width, 0).scaledBy(-1, 1);
        break;
    case ImageOrientation::LeftMirrored:
    case ImageOrientation::RightMirrored:
        transform = transform.translatedBy(size.height, 0).scaledBy(-1, 1);
        break;
    default:
        break;
    }
    return transform;
}

}

// Drawing a rectangle or an image must not disturb the path being built.
class GraphicsContext::PreservedPath {
public:
    explicit PreservedPath(cairo_t* cairo)
        : m_cairo(cairo)
        , m_path(cairo_copy_path(cairo))
    {
        cairo_new_path(cairo);
    }
    ~PreservedPath()
    {
        cairo_new_path(m_cairo);
        if (m_path->status == CAIRO_STATUS_SUCCESS)
            cairo_append_path(m_cairo, m_path);
        cairo_path_destroy(m_path);
    }
    PreservedPath(const PreservedPath&) = delete;
    PreservedPath& operator=(const PreservedPath&) = delete;

private:
    cairo_t* m_cairo;
    cairo_path_t* m_path;
};

GraphicsContext::GraphicsContext(SurfacePtr surface, const AffineTransform& baseTransform, Origin origin)
    : m_surface(std::move(surface))
    , m_cairo(cairo_create(m_surface.get()))
    , m_origin(origin)
{
    m_state.transform = baseTransform;
    cairo_matrix_t matrix = toCairo(baseTransform);
    cairo_set_matrix(m_cairo.get(), &matrix);
}

GraphicsContext::~GraphicsContext() = default;

size_t GraphicsContext::pixelsWide() const
{
    return static_cast<size_t>(cairo_image_surface_get_width(m_surface.get()));
}

size_t GraphicsContext::pixelsHigh() const
{
    return static_cast<size_t>(cairo_image_surface_get_height(m_surface.get()));
}

void GraphicsContext::saveState()
{
    m_savedStates.push_back(m_state);
    cairo_save(m_cairo.get());
}

void GraphicsContext::restoreState()
{
    if (m_savedStates.empty())
        return;
    m_state = m_savedStates.back();
    m_savedStates.pop_back();
    cairo_restore(m_cairo.get());
}

void GraphicsContext::applyTransform(const AffineTransform& transform)
{
    m_state.transform = transform.concatenating(m_state.transform);
    if (m_state.isTransformSingular)
        return;
    // Cairo refuses a transform without inverse; the platform merely draws nothing through it.
    if (!isFinite(m_state.transform) || !m_state.transform.isInvertible()) {
        m_state.isTransformSingular = true;
        return;
    }
    cairo_matrix_t matrix = toCairo(m_state.transform);
    cairo_set_matrix(m_cairo.get(), &matrix);
}

void GraphicsContext::translate(double tx, double ty)
{
    applyTransform(AffineTransform::makeTranslation(tx, ty));
}

void GraphicsContext::scale(double sx, double sy)
{
    applyTransform(AffineTransform::makeScale(sx, sy));
}

void GraphicsContext::rotate(double angle)
{
    applyTransform(AffineTransform::makeRotation(angle));
}

void GraphicsContext::concatenate(const AffineTransform& transform)
{
    applyTransform(transform);
}

AffineTransform GraphicsContext::currentTransform() const
{
    AffineTransform toBottomLeftPixels(1, 0, 0, -1, 0, static_cast<double>(pixelsHigh()));
    return m_state.transform.concatenating(toBottomLeftPixels);
}

void GraphicsContext::setInterpolationQuality(InterpolationQuality quality)
{
    m_state.interpolationQuality = quality;
}

InterpolationQuality GraphicsContext::interpolationQuality() const
{
    return m_state.interpolationQuality;
}

void GraphicsContext::setAlpha(double alpha)
{
    m_state.alpha = unitClamped(alpha);
}

double GraphicsContext::alpha() const
{
    return m_state.alpha;
}

void GraphicsContext::setBlendMode(BlendMode mode)
{
    m_state.blendMode = mode;
}

void GraphicsContext::setFillColor(const Color& color)
{
    m_state.fillColor = color;
}

void GraphicsContext::setStrokeColor(const Color& color)
{
    m_state.strokeColor = color;
}

void GraphicsContext::setLineWidth(double width)
{
    if (std::isfinite(width) && width >= 0)
        m_state.lineWidth = width;
}

bool GraphicsContext::canDraw() const
{
    return !m_state.isTransformSingular && cairo_status(m_cairo.get()) == CAIRO_STATUS_SUCCESS;
}

void GraphicsContext::setSource(const Color& color)
{
    cairo_set_source_rgba(m_cairo.get(), unitClamped(color.red), unitClamped(color.green), unitClamped(color.blue),
        unitClamped(color.alpha) * m_state.alpha);
}

void GraphicsContext::setOperator(BlendMode mode)
{
    cairo_set_operator(m_cairo.get(), mode == BlendMode::Clear ? CAIRO_OPERATOR_CLEAR : CAIRO_OPERATOR_OVER);
}

void GraphicsContext::setFillRule(FillRule rule)
{
    cairo_set_fill_rule(m_cairo.get(), rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
}

void GraphicsContext::beginPath()
{
    cairo_new_path(m_cairo.get());
}

void GraphicsContext::moveTo(Point point)
{
    if (canDraw() && isFinite(point))
        cairo_move_to(m_cairo.get(), point.x, point.y);
}

void GraphicsContext::addLineTo(Point point)
{
    if (canDraw() && isFinite(point) && cairo_has_current_point(m_cairo.get()))
        cairo_line_to(m_cairo.get(), point.x, point.y);
}

void GraphicsContext::addRect(const Rect& rect)
{
    if (!canDraw() || rect.isNull() || !isFinite(rect.origin) || !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height))
        return;
    Rect area = rect.standardized();
    cairo_rectangle(m_cairo.get(), area.origin.x, area.origin.y, area.size.width, area.size.height);
}

void GraphicsContext::addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise)
{
    if (!canDraw() || !isFinite(center) || !std::isfinite(radius) || radius < 0 || !std::isfinite(startAngle) || !std::isfinite(endAngle))
        return;
    // Angles grow counter-clockwise in a y-up space, which is cairo's positive direction too.
    if (clockwise)
        cairo_arc_negative(m_cairo.get(), center.x, center.y, radius, startAngle, endAngle);
    else
        cairo_arc(m_cairo.get(), center.x, center.y, radius, startAngle, endAngle);
}

void GraphicsContext::addArcToPoint(Point corner, Point end, double radius)
{
    std::optional<Point> start = currentPoint();
    if (!start || !isFinite(corner) || !isFinite(end) || !std::isfinite(radius))
        return;
    Point towardsStart = *start - corner;
    Point towardsEnd = end - corner;
    double startDistance = std::hypot(towardsStart.x, towardsStart.y);
    double endDistance = std::hypot(towardsEnd.x, towardsEnd.y);
    if (radius <= 0 || startDistance == 0 || endDistance == 0) {
        addLineTo(corner);
        return;
    }
    Point u1(towardsStart.x / startDistance, towardsStart.y / startDistance);
    Point u2(towardsEnd.x / endDistance, towardsEnd.y / endDistance);
    double sine = u1.x * u2.y - u1.y * u2.x;
    if (std::fabs(sine) < 1e-9) {
        addLineTo(corner);
        return;
    }
    // The circle touching both lines has its centre on the bisector of the corner's angle.
    double halfAngle = std::acos(std::clamp(u1.x * u2.x + u1.y * u2.y, -1.0, 1.0)) / 2;
    double tangentDistance = radius / std::tan(halfAngle);
    Point tangentStart(corner.x + u1.x * tangentDistance, corner.y + u1.y * tangentDistance);
    Point tangentEnd(corner.x + u2.x * tangentDistance, corner.y + u2.y * tangentDistance);
    double bisectorLength = std::hypot(u1.x + u2.x, u1.y + u2.y);
    double centerDistance = radius / std::sin(halfAngle);
    Point center(corner.x + (u1.x + u2.x) / bisectorLength * centerDistance, corner.y + (u1.y + u2.y) / bisectorLength * centerDistance);
    double startAngle = std::atan2(tangentStart.y - center.y, tangentStart.x - center.x);
    double endAngle = std::atan2(tangentEnd.y - center.y, tangentEnd.x - center.x);
    cairo_line_to(m_cairo.get(), tangentStart.x, tangentStart.y);
    // Turning left (start, corner, end counter-clockwise) goes round the circle counter-clockwise.
    bool turnsLeft = sine < 0;
    if (turnsLeft)
        cairo_arc(m_cairo.get(), center.x, center.y, radius, startAngle, endAngle);
    else
        cairo_arc_negative(m_cairo.get(), center.x, center.y, radius, startAngle, endAngle);
}

void GraphicsContext::addRoundedRect(const Rect& rect, double cornerRadius)
{
    if (rect.isNull() || !std::isfinite(cornerRadius))
        return;
    Rect area = rect.standardized();
    double radius = std::clamp(cornerRadius, 0.0, std::min(area.width(), area.height()) / 2);
    if (radius == 0) {
        addRect(area);
        return;
    }
    if (!canDraw())
        return;
    constexpr double quarter = std::numbers::pi / 2;
    cairo_t* cairo = m_cairo.get();
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, area.maxX() - radius, area.minY() + radius, radius, -quarter, 0);
    cairo_arc(cairo, area.maxX() - radius, area.maxY() - radius, radius, 0, quarter);
    cairo_arc(cairo, area.minX() + radius, area.maxY() - radius, radius, quarter, 2 * quarter);
    cairo_arc(cairo, area.minX() + radius, area.minY() + radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cairo);
}

void GraphicsContext::closePath()
{
    if (cairo_has_current_point(m_cairo.get()))
        cairo_close_path(m_cairo.get());
}

bool GraphicsContext::isPathEmpty() const
{
    cairo_path_t* path = cairo_copy_path(m_cairo.get());
    bool empty = path->num_data == 0;
    cairo_path_destroy(path);
    return empty;
}

std::optional<Point> GraphicsContext::currentPoint() const
{
    if (!canDraw() || !cairo_has_current_point(m_cairo.get()))
        return std::nullopt;
    Point point;
    cairo_get_current_point(m_cairo.get(), &point.x, &point.y);
    return point;
}

void GraphicsContext::clip(FillRule rule)
{
    setFillRule(rule);
    cairo_clip(m_cairo.get());
}

void GraphicsContext::fillPath(FillRule rule)
{
    if (!canDraw()) {
        cairo_new_path(m_cairo.get());
        return;
    }
    setFillRule(rule);
    setSource(m_state.fillColor);
    setOperator(m_state.blendMode);
    cairo_fill(m_cairo.get());
}

void GraphicsContext::strokePath()
{
    if (!canDraw()) {
        cairo_new_path(m_cairo.get());
        return;
    }
    setSource(m_state.strokeColor);
    setOperator(m_state.blendMode);
    cairo_set_line_width(m_cairo.get(), m_state.lineWidth);
    cairo_stroke(m_cairo.get());
}

void GraphicsContext::paintRect(const Rect& rect, bool stroke)
{
    if (!canDraw() || rect.isNull())
        return;
    PreservedPath preserved(m_cairo.get());
    addRect(rect);
    if (stroke)
        strokePath();
    else
        fillPath();
}

void GraphicsContext::fillRect(const Rect& rect)
{
    paintRect(rect, false);
}

void GraphicsContext::strokeRect(const Rect& rect)
{
    paintRect(rect, true);
}

void GraphicsContext::paintRawImage(const RawImage& image, Size area, BlendMode mode, double alpha)
{
    cairo_t* cairo = m_cairo.get();
    double pixelsWide = static_cast<double>(image.width());
    double pixelsHigh = static_cast<double>(image.height());
    SurfacePtr source = image.drawableSurface();
    if (!source)
        return;
    // The first row goes to the top of the area in this y-up frame.
    cairo_translate(cairo, 0, area.height);
    cairo_scale(cairo, area.width / pixelsWide, -area.height / pixelsHigh);
    cairo_rectangle(cairo, 0, 0, pixelsWide, pixelsHigh);
    cairo_clip(cairo);
    cairo_set_source_surface(cairo, source.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cairo);
    cairo_pattern_set_filter(pattern, filterFor(m_state.interpolationQuality));
    // Edge pixels are repeated rather than faded into transparency when smoothing.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    setOperator(mode);
    cairo_paint_with_alpha(cairo, unitClamped(alpha));
}

void GraphicsContext::drawRawImage(const RawImage& image, const Rect& rect)
{
    if (!canDraw() || !isUsable(rect))
        return;
    Rect area = rect.standardized();
    PreservedPath preserved(m_cairo.get());
    cairo_save(m_cairo.get());
    cairo_translate(m_cairo.get(), area.minX(), area.minY());
    paintRawImage(image, area.size, m_state.blendMode, m_state.alpha);
    cairo_restore(m_cairo.get());
}

void GraphicsContext::enterUprightFrame(const Rect& area)
{
    if (m_origin == Origin::BottomLeft) {
        cairo_translate(m_cairo.get(), area.minX(), area.minY());
        return;
    }
    cairo_translate(m_cairo.get(), area.minX(), area.maxY());
    cairo_scale(m_cairo.get(), 1, -1);
}

void GraphicsContext::drawImage(const Image& image, const Rect& rect, BlendMode mode, double alpha)
{
    if (!canDraw() || !isUsable(rect))
        return;
    Rect area = rect.standardized();
    PreservedPath preserved(m_cairo.get());
    cairo_save(m_cairo.get());
    enterUprightFrame(area);
    cairo_matrix_t orientation = toCairo(uprightTransform(image.imageOrientation(), area.size));
    cairo_transform(m_cairo.get(), &orientation);
    Size drawn = isTransposed(image.imageOrientation()) ? Size(area.height(), area.width()) : area.size;
    paintRawImage(*image.rawImage(), drawn, mode, alpha);
    cairo_restore(m_cairo.get());
}

void GraphicsContext::enterReadingFrame(Point topLeft)
{
    cairo_translate(m_cairo.get(), topLeft.x, topLeft.y);
    if (m_origin == Origin::BottomLeft)
        cairo_scale(m_cairo.get(), 1, -1);
}

Size GraphicsContext::drawText(std::string_view text, const Rect& rect, const Font& font, const Color& color, TextAlignment alignment,
    LineBreakMode mode, int maximumLines)
{
    if (!canDraw() || !isUsable(rect) || !std::isfinite(font.pointSize()) || font.pointSize() <= 0)
        return {};
    Rect area = rect.standardized();
    TextLayout layout(text, font, area.size, mode, maximumLines);
    PreservedPath preserved(m_cairo.get());
    cairo_t* cairo = m_cairo.get();
    cairo_save(cairo);
    enterReadingFrame(Point(area.minX(), m_origin == Origin::BottomLeft ? area.maxY() : area.minY()));
    cairo_rectangle(cairo, 0, 0, area.width(), area.height());
    cairo_clip(cairo);
    CairoTextMeasurer::selectFont(cairo, font);
    setSource(color);
    setOperator(m_state.blendMode);
    double top = 0;
    for (const TextLayout::Line& line : layout.lines()) {
        double x = 0;
        if (alignment == TextAlignment::Center)
            x = (area.width() - line.width) / 2;
        else if (alignment == TextAlignment::Right)
            x = area.width() - line.width;
        cairo_move_to(cairo, x, top + layout.ascent());
        cairo_show_text(cairo, line.text.c_str());
        top += layout.lineHeight();
    }
    cairo_restore(cairo);
    return layout.size();
}

Size GraphicsContext::drawTextAtPoint(std::string_view text, Point point, const Font& font, const Color& color)
{
    if (!canDraw() || !isFinite(point) || !std::isfinite(font.pointSize()) || font.pointSize() <= 0)
        return {};
    TextLayout layout(text, font, {}, LineBreakMode::Clip, 1);
    PreservedPath preserved(m_cairo.get());
    cairo_t* cairo = m_cairo.get();
    cairo_save(cairo);
    enterReadingFrame(point);
    CairoTextMeasurer::selectFont(cairo, font);
    setSource(color);
    setOperator(m_state.blendMode);
    cairo_move_to(cairo, 0, layout.ascent());
    cairo_show_text(cairo, layout.lines().front().text.c_str());
    cairo_restore(cairo);
    return layout.size();
}

Pixel GraphicsContext::pixelAt(size_t x, size_t row) const
{
    if (x >= pixelsWide() || row >= pixelsHigh())
        return {};
    cairo_surface_flush(m_surface.get());
    return surfacePixels::read(m_surface.get(), static_cast<int>(x), static_cast<int>(row));
}

}
