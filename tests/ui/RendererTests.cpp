#include "UITest.h"

#include "platform/graphics/ImageContext.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TouchDriver.h"

namespace brenzo::testing {

namespace {

const gfx::Pixel white { 255, 255, 255, 255 };
const gfx::Pixel black { 0, 0, 0, 255 };
const gfx::Pixel red { 255, 0, 0, 255 };
const gfx::Pixel blue { 0, 0, 255, 255 };

fnd::Ref<gfx::Image> solidImage(gfx::Size size, gfx::Color color)
{
    auto context = gfx::ImageContext::create(size, true, 1);
    context->setFillColor(color);
    context->fillRect({ { 0, 0 }, size });
    return context->image();
}

class RendererTest : public UITest {
protected:
    RendererTest() { window = makeKeyWindow(); }

    gfx::Pixel pixel(double x, double y)
    {
        auto image = ui::Renderer::renderScreen(1);
        return pixelAtPoint(*image, x, y);
    }

    std::shared_ptr<ui::Window> window;
};

TEST_F(RendererTest, LayersRoundCornersDrawBordersAndClip)
{
    auto view = ui::View::create({ 100, 100, 100, 100 });
    view->setBackgroundColor(gfx::Color(1, 0, 0));
    view->layer().setCornerRadius(20);
    view->layer().setBorderWidth(4);
    view->layer().setBorderColor(gfx::Color(0, 0, 1));
    auto child = ui::View::create({ -50, -50, 100, 100 });
    child->setBackgroundColor(gfx::Color::black());
    view->addSubview(child);
    window->addSubview(view);

    auto image = ui::Renderer::renderScreen(1);
    // Outside the rounded corner the window shows; along the edge the border; inside the fill.
    EXPECT_EQ(pixelAtPoint(*image, 195, 195), white);
    EXPECT_EQ(pixelAtPoint(*image, 150, 101), blue);
    EXPECT_EQ(pixelAtPoint(*image, 150, 150), red);
    // Without clipping the child spills out of the corner.
    EXPECT_EQ(pixelAtPoint(*image, 60, 60), black);

    view->setClipsToBounds(true);
    image = ui::Renderer::renderScreen(1);
    EXPECT_EQ(pixelAtPoint(*image, 60, 60), white);
    EXPECT_EQ(pixelAtPoint(*image, 102, 102), white);
    EXPECT_EQ(pixelAtPoint(*image, 130, 130), black);
}

TEST_F(RendererTest, AlphaAndHiddenApplyToWholeSubtrees)
{
    auto parent = ui::View::create({ 0, 100, 100, 100 });
    parent->setAlpha(0.5);
    auto child = ui::View::create({ 0, 0, 100, 100 });
    child->setBackgroundColor(gfx::Color::black());
    parent->addSubview(child);
    window->addSubview(parent);
    auto half = pixel(50, 150);
    EXPECT_NEAR(half.red, 128, 2);

    parent->setHidden(true);
    EXPECT_EQ(pixel(50, 150), white);
}

TEST_F(RendererTest, ImagesAndLabelsAreDrawn)
{
    auto imageView = ui::ImageView::createWithImage(solidImage({ 20, 10 }, gfx::Color(1, 0, 0)));
    imageView->setFrame({ 10, 100, 100, 50 });
    imageView->setContentMode(ui::ContentMode::Center);
    window->addSubview(imageView);
    EXPECT_EQ(imageView->imageRect(), (gfx::Rect { 40, 20, 20, 10 }));
    EXPECT_EQ(pixel(60, 125), red);
    EXPECT_EQ(pixel(45, 125), white);

    imageView->setContentMode(ui::ContentMode::ScaleToFill);
    EXPECT_EQ(pixel(15, 105), red);

    // A label fills its background and draws text in the middle of its height.
    auto label = ui::Label::create({ 10, 200, 200, 40 });
    label->setBackgroundColor(gfx::Color(0, 0, 1));
    label->setText("WWWW");
    label->setTextColor(gfx::Color::white());
    label->setFont(gfx::Font::boldSystemFont(30));
    window->addSubview(label);
    auto image = ui::Renderer::renderScreen(1);
    EXPECT_EQ(pixelAtPoint(*image, 200, 202), blue);
    int whitePixels = 0;
    for (int x = 10; x < 110; ++x)
        whitePixels += pixelAtPoint(*image, x, 220) == white;
    EXPECT_GT(whitePixels, 5);
}

TEST_F(RendererTest, ViewsRenderOnTheirOwnAndLayersDrawAlone)
{
    auto view = ui::View::create({ 50, 50, 40, 20 });
    view->setBackgroundColor(gfx::Color(1, 0, 0));
    auto image = ui::Renderer::renderView(*view, 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (gfx::Size { 40, 20 }));
    EXPECT_EQ(image->rawImage()->width(), 80u);
    EXPECT_EQ(pixelAtPoint(*image, 39, 19), red);

    ui::Layer layer;
    layer.setBounds({ 0, 0, 20, 20 });
    layer.setBackgroundColor(gfx::Color(0, 0, 1));
    layer.setCornerRadius(8);
    auto context = gfx::ImageContext::create({ 20, 20 }, false, 1);
    layer.renderInContext(*context);
    auto drawn = context->image();
    EXPECT_EQ(drawn->pixelAt(10, 10), blue);
    EXPECT_EQ(drawn->pixelAt(0, 0).alpha, 0);
}

TEST_F(RendererTest, TheStatusBarGoesWithItsFlag)
{
    EXPECT_EQ(pixel(2, 2), black);
    ui::Application::shared().setStatusBarHidden(true);
    EXPECT_EQ(pixel(2, 2), white);
}

TEST_F(RendererTest, SpinnersShowOnlyWhileAnimating)
{
    auto spinner = ui::ActivityIndicatorView::create(ui::ActivityIndicatorViewStyle::WhiteLarge);
    EXPECT_EQ(spinner->frame().size, (gfx::Size { 37, 37 }));
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimating();
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_FALSE(spinner->isHidden());
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
    spinner->setHidesWhenStopped(false);
    EXPECT_FALSE(spinner->isHidden());
    spinner->setStyle(ui::ActivityIndicatorViewStyle::Gray);
    EXPECT_EQ(spinner->frame().size, (gfx::Size { 20, 20 }));
}

TEST_F(RendererTest, ScrollViewsScrollWithinTheirContent)
{
    auto scroll = ui::ScrollView::create({ 0, 20, 320, 200 });
    scroll->setContentSize({ 320, 1000 });
    auto row = ui::View::create({ 0, 500, 320, 40 });
    scroll->addSubview(row);
    window->addSubview(scroll);

    scroll->scrollRectToVisible(row->frame(), false);
    EXPECT_EQ(scroll->contentOffset(), (gfx::Point { 0, 340 }));
    EXPECT_EQ(row->convertPointToScreen({ 0, 0 }), (gfx::Point { 0, 180 }));
    scroll->setContentOffset(scroll->clampedContentOffset({ 0, 5000 }));
    EXPECT_EQ(scroll->contentOffset(), (gfx::Point { 0, 800 }));

    // A finger moving down brings earlier content into view, never past its start.
    ui::TouchDriver driver;
    driver.drag({ 160, 100 }, { 160, 150 }, 5);
    EXPECT_EQ(scroll->contentOffset(), (gfx::Point { 0, 750 }));
    driver.drag({ 160, 50 }, { 160, 210 }, 4);
    EXPECT_EQ(scroll->contentOffset(), (gfx::Point { 0, 590 }));
    scroll->setContentOffset({ 0, 10 });
    driver.drag({ 160, 50 }, { 160, 200 }, 3);
    EXPECT_EQ(scroll->contentOffset(), (gfx::Point { 0, 0 }));
}

}

}
