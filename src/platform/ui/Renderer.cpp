#include "platform/ui/Renderer.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/FileManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace ui {

namespace {

double resolvedScale(double scale)
{
    if (scale <= 0)
        scale = Screen::mainScreen().scale();
    return scale == 2 ? 2 : 1;
}

void addOutline(gfx::GraphicsContext& context, const gfx::Rect& rect, double cornerRadius)
{
    context.beginPath();
    if (cornerRadius > 0)
        context.addRoundedRect(rect, cornerRadius);
    else
        context.addRect(rect);
}

void drawShadow(const View& view, gfx::GraphicsContext& context, double alpha)
{
    auto& layer = view.layer();
    if (!layer.hasShadow() || !view.backgroundColor())
        return;
    auto offset = layer.shadowOffset();
    auto color = layer.shadowColor();
    context.setAlpha(alpha * layer.shadowOpacity() * 0.6);
    context.setFillColor(color);
    addOutline(context, view.bounds().offsetBy(offset.width, offset.height).insetBy(-layer.shadowRadius() / 2, -layer.shadowRadius() / 2),
        layer.cornerRadius() + layer.shadowRadius() / 2);
    context.fillPath();
    context.setAlpha(alpha);
}

}

void Renderer::drawView(View& view, gfx::GraphicsContext& context, double inheritedAlpha)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return;
    context.saveState();
    auto center = view.center();
    auto& bounds = view.bounds();
    context.translate(center.x, center.y);
    if (!view.transform().isIdentity())
        context.concatenate(view.transform());
    context.translate(-(bounds.origin.x + bounds.size.width / 2), -(bounds.origin.y + bounds.size.height / 2));
    drawContents(view, context, inheritedAlpha * view.alpha());
    context.restoreState();
}

void Renderer::drawContents(View& view, gfx::GraphicsContext& context, double alpha)
{
    auto& layer = view.layer();
    auto bounds = view.bounds();
    context.saveState();
    context.setAlpha(alpha);
    drawShadow(view, context, alpha);
    if (auto background = view.backgroundColor(); background && background->alpha > 0) {
        context.setFillColor(*background);
        addOutline(context, bounds, layer.cornerRadius());
        context.fillPath();
    }
    if (layer.masksToBounds()) {
        addOutline(context, bounds, layer.cornerRadius());
        context.clip();
    }
    context.saveState();
    view.drawRect(context, bounds);
    context.restoreState();
    view.clearNeedsDisplay();
    auto subviews = view.subviews();
    for (auto& subview : subviews)
        drawView(*subview, context, alpha);
    context.restoreState();
    if (layer.borderWidth() > 0) {
        context.saveState();
        context.setAlpha(alpha);
        context.setStrokeColor(layer.borderColor());
        context.setLineWidth(layer.borderWidth());
        double inset = layer.borderWidth() / 2;
        addOutline(context, bounds.insetBy(inset, inset), std::max(0.0, layer.cornerRadius() - inset));
        context.strokePath();
        context.restoreState();
    }
}

void Renderer::drawStatusBar(gfx::GraphicsContext& context)
{
    const double width = Screen::mainScreen().bounds().size.width;
    const double height = Screen::statusBarHeight;
    context.saveState();
    context.setFillColor(gfx::Color::black());
    context.fillRect({ 0, 0, width, height });
    auto font = gfx::Font::boldSystemFont(12);
    auto white = gfx::Color::white();
    context.drawText("Brenzo", { 6, 3, 100, 15 }, font, white);
    // The time of day in UTC, so that screenshots do not depend on the machine's zone.
    auto seconds = static_cast<time_t>(std::floor(fnd::Clock::current().now()));
    std::tm parts {};
    gmtime_r(&seconds, &parts);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", parts.tm_hour, parts.tm_min);
    context.drawText(time, { 0, 3, width, 15 }, font, white, gfx::TextAlignment::Center);
    context.setStrokeColor(white);
    context.setLineWidth(1);
    context.strokeRect({ width - 30.5, 5.5, 22, 10 });
    context.fillRect({ width - 8, 8, 2, 5 });
    context.setFillColor(white);
    context.fillRect({ width - 29, 7, 19, 7 });
    context.restoreState();
}

fnd::Ref<gfx::Image> Renderer::renderScreen(double scale)
{
    auto screen = Screen::mainScreen().bounds();
    auto context = gfx::ImageContext::create(screen.size, true, resolvedScale(scale));
    if (!context)
        return nullptr;
    auto& application = Application::shared();
    application.layoutIfNeeded();
    for (auto& window : application.windowsInDrawingOrder())
        drawView(*window, *context);
    if (!application.isStatusBarHidden())
        drawStatusBar(*context);
    return context->image();
}

bool Renderer::writeScreenshot(const std::filesystem::path& path, double scale, fnd::Ref<fnd::Error>* error)
{
    auto image = renderScreen(scale);
    auto png = image ? image->pngRepresentation(gfx::PNGCodec::Effort::Fast) : nullptr;
    if (!png) {
        if (error)
            *error = fnd::Error::withDescription("Renderer", 1, "The screen could not be drawn.");
        return false;
    }
    return fnd::FileManager::writeAtomically(path, png->span(), error);
}

fnd::Ref<gfx::Image> Renderer::renderView(View& view, double scale)
{
    view.layoutIfNeeded();
    auto bounds = view.bounds();
    auto context = gfx::ImageContext::create(bounds.size, false, resolvedScale(scale));
    if (!context)
        return nullptr;
    context->translate(-bounds.origin.x, -bounds.origin.y);
    drawContents(view, *context, view.alpha());
    return context->image();
}

}
