#include "UITest.h"

#include "platform/ui/Label.h"

#include <cmath>

namespace brenzo::testing {

namespace {

void expectNear(gfx::Point actual, gfx::Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

// Counts its layouts and window moves.
class CountingView final : public ui::View {
public:
    using View::View;
    void layoutSubviews() override { ++layouts; }
    void didMoveToWindow() override { windows.push_back(window() != nullptr); }
    int layouts = 0;
    std::vector<bool> windows;
};

using ViewTest = UITest;

TEST_F(ViewTest, FrameCentreBoundsAndTransformAgree)
{
    auto view = ui::View::create({ 10, 20, 100, 50 });
    EXPECT_EQ(view->center(), (gfx::Point { 60, 45 }));
    EXPECT_EQ(view->bounds(), (gfx::Rect { 0, 0, 100, 50 }));

    // Transforms turn about the centre; the frame becomes the bounding box.
    view->setTransform(gfx::AffineTransform::makeRotation(M_PI / 2));
    auto frame = view->frame();
    EXPECT_NEAR(frame.origin.x, 35, 1e-9);
    EXPECT_NEAR(frame.origin.y, -5, 1e-9);
    EXPECT_NEAR(frame.size.width, 50, 1e-9);
    EXPECT_NEAR(frame.size.height, 100, 1e-9);
    EXPECT_EQ(view->bounds().size, (gfx::Size { 100, 50 }));

    view->setTransform(gfx::AffineTransform::makeScale(2, 2));
    EXPECT_EQ(view->frame(), (gfx::Rect { -40, -5, 200, 100 }));
    view->setCenter({ 0, 0 });
    EXPECT_EQ(view->frame(), (gfx::Rect { -100, -50, 200, 100 }));

    // A negative size is standardised.
    view->setTransform({});
    view->setFrame({ 10, 10, -10, -10 });
    EXPECT_EQ(view->frame(), (gfx::Rect { 0, 0, 10, 10 }));
}

TEST_F(ViewTest, PointsConvertThroughTransformsAndBoundsOrigins)
{
    auto window = makeKeyWindow();
    auto outer = ui::View::create({ 100, 100, 100, 100 });
    outer->setTransform(gfx::AffineTransform::makeScale(2, 2));
    window->addSubview(outer);
    auto inner = ui::View::create({ 10, 10, 20, 20 });
    inner->setTransform(gfx::AffineTransform::makeRotation(M_PI));
    outer->addSubview(inner);

    // inner's (0, 0) is its turned top left: (30, 30) in outer, which is scaled about (150, 150).
    expectNear(inner->convertPointToView({ 0, 0 }, outer.get()), { 30, 30 });
    expectNear(inner->convertPointToScreen({ 0, 0 }), { 110, 110 });
    expectNear(inner->convertPointFromScreen({ 110, 110 }), { 0, 0 });
    expectNear(outer->convertPointFromView({ 0, 0 }, inner.get()), { 30, 30 });
    expectNear(inner->convertPointToView({ 5, 5 }, nullptr), inner->convertPointToScreen({ 5, 5 }));

    // Scrolling the bounds moves what is inside.
    outer->setBounds({ { 10, 0 }, { 100, 100 } });
    expectNear(inner->convertPointToView({ 0, 0 }, outer.get()), { 30, 30 });
    expectNear(inner->convertPointToScreen({ 0, 0 }), { 90, 110 });

    auto box = inner->convertRectToView({ 0, 0, 20, 20 }, nullptr);
    EXPECT_NEAR(box.size.width, 40, 1e-9);
    EXPECT_NEAR(box.origin.x, 50, 1e-9);
}

TEST_F(ViewTest, SubviewsKeepTheirOrderAndOneSuperview)
{
    auto parent = ui::View::create();
    auto a = ui::View::create(), b = ui::View::create(), c = ui::View::create();
    parent->addSubview(a);
    parent->addSubview(b);
    parent->insertSubviewAtIndex(c, 0);
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<ui::View>> { c, a, b }));
    parent->bringSubviewToFront(*c);
    parent->sendSubviewToBack(*b);
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<ui::View>> { b, a, c }));
    parent->insertSubviewAboveSubview(b, *a);
    EXPECT_EQ(parent->subviews(), (std::vector<std::shared_ptr<ui::View>> { a, b, c }));

    auto other = ui::View::create();
    other->addSubview(a);
    EXPECT_EQ(a->superview(), other);
    EXPECT_EQ(parent->subviews().size(), 2u);

    // No view goes inside itself or its own descendant.
    a->addSubview(other);
    EXPECT_EQ(other->superview(), nullptr);
    a->addSubview(a);
    EXPECT_TRUE(a->subviews().empty());

    std::weak_ptr<ui::View> weakParent = parent;
    parent.reset();
    EXPECT_TRUE(weakParent.expired());
    EXPECT_EQ(b->superview(), nullptr);
    EXPECT_EQ(b->superviewPointer(), nullptr);
}

TEST_F(ViewTest, ViewsHearWhenTheyEnterAndLeaveAWindow)
{
    auto window = makeKeyWindow();
    auto container = ui::View::create();
    auto child = std::make_shared<CountingView>();
    container->addSubview(child);
    EXPECT_TRUE(child->windows.empty());
    window->addSubview(container);
    container->removeFromSuperview();
    EXPECT_EQ(child->windows, (std::vector<bool> { true, false }));
    EXPECT_EQ(child->window(), nullptr);
}

TEST_F(ViewTest, LayoutRunsOncePerRequest)
{
    auto view = std::make_shared<CountingView>(gfx::Rect { 0, 0, 10, 10 });
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 1);
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 1);
    view->setFrame({ 5, 5, 10, 10 });
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 1);
    view->setFrame({ 5, 5, 20, 10 });
    view->addSubview(ui::View::create());
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 2);
    view->setNeedsLayout();
    view->layoutIfNeeded();
    EXPECT_EQ(view->layouts, 3);
}

TEST_F(ViewTest, TagsLayersAndTheTreeAsText)
{
    auto window = makeKeyWindow();
    auto view = ui::View::create({ 0, 20, 320, 460 });
    view->setTag(7);
    view->layer().setCornerRadius(10);
    view->layer().setBorderWidth(2);
    view->layer().setBorderColor(gfx::Color(1, 0, 0));
    EXPECT_EQ(view->layer().bounds(), view->bounds());
    view->layer().setBackgroundColor(gfx::Color::black());
    EXPECT_EQ(view->backgroundColor(), gfx::Color::black());
    auto label = ui::Label::create({ 10, 10, 100, 20 });
    label->setText("Hello");
    label->setAlpha(0.5);
    view->addSubview(label);
    window->addSubview(view);
    EXPECT_EQ(window->viewWithTag(7), view);
    EXPECT_EQ(window->viewWithTag(8), nullptr);
    EXPECT_EQ(window->treeDescription(), "Window (0, 0, 320, 480)\n"
                                         "  View (0, 20, 320, 460) tag=7\n"
                                         "    Label (10, 10, 100, 20) alpha=0.5 text=\"Hello\"\n");
}

TEST_F(ViewTest, LabelsMeasureWithTheInstalledMeasurer)
{
    // The fixed measurer advances half the point size per character; lines are 1.25 sizes high.
    auto label = ui::Label::create();
    label->setFont(gfx::Font::systemFont(10));
    label->setText("Hello");
    label->sizeToFit();
    EXPECT_EQ(label->frame().size, (gfx::Size { 25, 13 }));

    label->setNumberOfLines(0);
    label->setText("Hello there");
    EXPECT_EQ(label->sizeThatFits({ 40, 0 }), (gfx::Size { 25, 25 }));

    label->setNumberOfLines(1);
    label->setFrame({ 0, 0, 30, 13 });
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(4);
    EXPECT_EQ(label->fontFittingWidth().pointSize(), 5);
    label->setMinimumFontSize(8);
    EXPECT_EQ(label->fontFittingWidth().pointSize(), 8);
}

}

}
