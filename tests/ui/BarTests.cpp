#include "UITest.h"

#include "platform/foundation/Bundle.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/BarButtonView.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/EffectCapture.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/TouchDriver.h"
#include "support/TemporaryDirectory.h"

#include <fstream>

namespace brenzo::testing {

namespace {

ui::Action counting(std::string name, std::vector<std::string>& sent)
{
    return ui::Action(name, [&sent, name](const fnd::Id&) { sent.push_back(name); });
}

// A bundle of its own with a red 8 x 8 "dot.png" and a blue 16 x 16 "dot@2x.png".
class ImageBundle {
public:
    ImageBundle()
    {
        write("dot.png", 8, gfx::Color(1, 0, 0));
        write("dot@2x.png", 16, gfx::Color(0, 0, 1));
        fnd::Bundle::setMain(fnd::Bundle::createWithPath(m_directory.path()));
        ui::BundleImages::clearCache();
    }
    ~ImageBundle()
    {
        fnd::Bundle::setMain(nullptr);
        ui::BundleImages::clearCache();
    }

private:
    void write(const std::string& name, double side, gfx::Color color)
    {
        auto context = gfx::ImageContext::create({ side, side }, true, 1);
        context->setFillColor(color);
        context->fillRect({ 0, 0, side, side });
        auto png = context->image()->pngRepresentation();
        std::ofstream(m_directory.path() / name, std::ios::binary).write(reinterpret_cast<const char*>(png->bytes()), std::streamsize(png->length()));
    }

    TemporaryDirectory m_directory;
};

class BarTest : public UITest {
protected:
    BarTest() { window = makeKeyWindow(); }
    std::shared_ptr<ui::Window> window;
    std::vector<std::string> sent;
};

TEST_F(BarTest, ToolbarItemsAreLaidOutWithFlexibleSpaceSharingTheRest)
{
    // The board's bar: a flexible space, a custom 24-point button, compose and action.
    auto toolbar = ui::Toolbar::create({ 0, 436, 320, 24 });
    auto heart = ui::Button::create();
    heart->setFrame({ 0, 0, 24, 20 });
    auto compose = ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Compose, counting("mailAction:", sent));
    auto action = ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Action, counting("wifiAction:", sent));
    toolbar->setItems({ ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::FlexibleSpace),
        ui::BarButtonItem::createWithCustomView(heart), compose, action });
    window->addSubview(toolbar);

    EXPECT_EQ(toolbar->viewForItem(*toolbar->items()[0]), nullptr);
    EXPECT_EQ(heart->frame(), (gfx::Rect { 202, 2, 24, 20 }));
    EXPECT_EQ(toolbar->viewForItem(*compose)->frame(), (gfx::Rect { 234, 2, 36, 20 }));
    EXPECT_EQ(toolbar->viewForItem(*action)->frame(), (gfx::Rect { 278, 2, 36, 20 }));

    // A tap on an item's button sends its action, named as the program spells it.
    ui::TouchDriver driver;
    driver.tap({ 250, 448 });
    EXPECT_EQ(sent, (std::vector<std::string> { "mailAction:" }));
    EXPECT_EQ(action->action().name(), "wifiAction:");
    action->setEnabled(false);
    driver.tap({ 290, 448 });
    EXPECT_FALSE(action->press());
    EXPECT_EQ(sent.size(), 1u);
}

TEST_F(BarTest, ItemsAreFoundByTitleSystemNameOrImageName)
{
    ImageBundle bundle;
    auto toolbar = ui::Toolbar::create({ 0, 416, 320, 44 });
    auto save = ui::BarButtonItem::createWithImage(ui::BundleImages::imageNamed("dot.png"), ui::BarButtonItemStyle::Bordered, counting("saveXML:", sent));
    toolbar->setItems({ ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Cancel, counting("cancelAction:", sent)),
        ui::BarButtonItem::createWithTitle("Send", ui::BarButtonItemStyle::Done, counting("send", sent)), save });
    window->addSubview(toolbar);

    EXPECT_EQ(ui::PressFinder::press("Cancel").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(ui::PressFinder::press("cancel").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(ui::PressFinder::press("send").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(ui::PressFinder::press("dot").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(ui::PressFinder::press("dot.png").description, "bar item \"dot.png\"");
    EXPECT_EQ(ui::PressFinder::press("Sendd").status, ui::PressFinder::Result::Status::NotFound);
    EXPECT_EQ(sent, (std::vector<std::string> { "cancelAction:", "cancelAction:", "send", "saveXML:", "saveXML:" }));

    toolbar->setHidden(true);
    EXPECT_EQ(ui::PressFinder::press("Cancel").status, ui::PressFinder::Result::Status::NotFound);
}

TEST_F(BarTest, TheTopScreenWinsAndTwoTargetsInSightAreNamedNotGuessed)
{
    auto screen = ui::View::create({ 0, 20, 320, 460 });
    auto button = ui::Button::create(ui::ButtonType::RoundedRect);
    button->setTitle("Done");
    button->setFrame({ 10, 10, 100, 40 });
    button->addTargetActionForControlEvents(counting("button", sent), ui::ControlEvent::TouchUpInside);
    screen->addSubview(button);
    auto toolbar = ui::Toolbar::create({ 0, 416, 320, 44 });
    toolbar->setItems({ ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Done, counting("item", sent)) });
    screen->addSubview(toolbar);
    window->addSubview(screen);
    auto both = ui::PressFinder::press("Done");
    EXPECT_EQ(both.status, ui::PressFinder::Result::Status::Ambiguous);
    EXPECT_EQ(both.description, "bar item \"done\", button \"Done\"");
    EXPECT_TRUE(sent.empty());

    // A bar slid over the tool bar hides its item: the one in sight is pressed.
    auto slidOver = ui::Toolbar::create({ 0, 416, 320, 44 });
    slidOver->setItems({ ui::BarButtonItem::createWithTitle("Done", ui::BarButtonItemStyle::Bordered, counting("slid over", sent)) });
    screen->addSubview(slidOver);
    button->setHidden(true);
    EXPECT_EQ(ui::PressFinder::press("Done").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(sent, (std::vector<std::string> { "slid over" }));
    button->setHidden(false);

    // A screen laid over it comes first.
    auto cover = ui::View::create({ 0, 20, 320, 460 });
    auto coverButton = ui::Button::create();
    coverButton->setTitle("Done");
    coverButton->setFrame({ 0, 0, 50, 50 });
    coverButton->addTargetActionForControlEvents(counting("cover", sent), ui::ControlEvent::TouchUpInside);
    cover->addSubview(coverButton);
    window->addSubview(cover);
    ui::PressFinder::press("Done");
    EXPECT_EQ(sent.back(), "cover");

    // While a panel shows, only panels can be pressed.
    auto panel = ui::View::create({ 40, 100, 240, 200 });
    auto ok = ui::Button::create();
    ok->setTitle("OK");
    ok->setFrame({ 10, 10, 100, 40 });
    ok->addTargetActionForControlEvents(counting("ok", sent), ui::ControlEvent::TouchUpInside);
    panel->addSubview(ok);
    ui::EffectCapture effects;
    ui::ModalPanelRegistry::shared().show(panel, "alert \"Hello\"");
    EXPECT_EQ(effects.lines(), (std::vector<std::string> { "alert \"Hello\"" }));
    EXPECT_EQ(ui::PressFinder::press("Done").status, ui::PressFinder::Result::Status::NotFound);
    EXPECT_EQ(ui::PressFinder::press("OK").status, ui::PressFinder::Result::Status::Pressed);
    // Touches outside the panel land on its dimmed window, not on the screen beneath.
    ui::TouchDriver driver;
    driver.tap({ 25, 45 });
    EXPECT_EQ(sent.back(), "ok");
    EXPECT_TRUE(ui::ModalPanelRegistry::shared().isShowing(*panel));
    ui::ModalPanelRegistry::shared().dismiss(*panel);
    EXPECT_FALSE(ui::ModalPanelRegistry::shared().isShowing(*panel));
    EXPECT_EQ(ui::ModalPanelRegistry::shared().window(), nullptr);
    driver.tap({ 25, 45 });
    EXPECT_EQ(sent.back(), "cover");
}

TEST_F(BarTest, TextsShownByAViewIncludeLabelsMadeOfParts)
{
    auto cell = ui::View::create({ 0, 0, 320, 44 });
    auto parts = ui::View::create({ 10, 0, 200, 20 });
    for (auto text : { "Joe", " ", "Smith" }) {
        auto part = ui::Label::create();
        part->setText(text);
        parts->addSubview(part);
    }
    cell->addSubview(parts);
    auto detail = ui::Label::create();
    detail->setText("06 12 34 56 78");
    cell->addSubview(detail);
    auto hidden = ui::Label::create();
    hidden->setText("secret");
    hidden->setHidden(true);
    cell->addSubview(hidden);
    EXPECT_EQ(ui::PressFinder::textsShownIn(*cell), (std::vector<std::string> { "Joe Smith", "Joe", " ", "Smith", "06 12 34 56 78" }));
}

TEST_F(BarTest, NavigationBarsShowTheTopItemAndABackButton)
{
    auto bar = ui::NavigationBar::create({ 0, 20, 320, 44 });
    window->addSubview(bar);
    auto first = ui::NavigationItem::createWithTitle("Contacts");
    auto second = ui::NavigationItem::createWithTitle("Joe");
    bar->pushNavigationItem(first);
    bar->pushNavigationItem(second);
    EXPECT_EQ(bar->backButtonTitle(), "Contacts");
    first->setBackBarButtonItem(ui::BarButtonItem::createWithTitle("All", ui::BarButtonItemStyle::Bordered));
    EXPECT_EQ(bar->backButtonTitle(), "All");
    first->setTitle("");
    first->setBackBarButtonItem(nullptr);
    EXPECT_EQ(bar->backButtonTitle(), "Back");

    // Without a handler the back button pops the bar's own item.
    EXPECT_EQ(ui::PressFinder::press("Back").status, ui::PressFinder::Result::Status::Pressed);
    EXPECT_EQ(bar->topItem(), first);
    EXPECT_EQ(bar->shownLeftItem(), nullptr);

    first->setRightBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Edit, counting("edit", sent)));
    first->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Done, counting("done", sent)));
    ui::PressFinder::press("Edit");
    ui::PressFinder::press("Done");
    EXPECT_EQ(sent, (std::vector<std::string> { "edit", "done" }));
}

TEST_F(BarTest, NavigationBarsKeepTheTitleCentredClearOfTheButtons)
{
    // With the fixed measurer "Done" and "Edit" are 24 points wide in the bar's 12-point font.
    auto bar = ui::NavigationBar::create({ 0, 20, 320, 44 });
    window->addSubview(bar);
    auto item = ui::NavigationItem::createWithTitle("Settings");
    item->setLeftBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Done));
    item->setRightBarButtonItem(ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Edit));
    bar->pushNavigationItem(item);
    bar->layoutIfNeeded();
    std::vector<gfx::Rect> buttons;
    std::shared_ptr<ui::Label> title;
    for (auto& subview : bar->subviews()) {
        if (dynamic_cast<ui::BarButtonView*>(subview.get()))
            buttons.push_back(subview->frame());
        if (auto label = std::dynamic_pointer_cast<ui::Label>(subview))
            title = label;
    }
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0], (gfx::Rect { 5, 7, 44, 30 }));
    EXPECT_EQ(buttons[1], (gfx::Rect { 271, 7, 44, 30 }));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->text(), "Settings");
    EXPECT_EQ(title->frame(), (gfx::Rect { 54, 0, 212, 44 }));

    // A view of the item's own takes the title's place, centred.
    auto logo = ui::View::create({ 0, 0, 150, 40 });
    item->setTitleView(logo);
    bar->layoutIfNeeded();
    EXPECT_EQ(logo->superview(), bar);
    EXPECT_EQ(logo->frame(), (gfx::Rect { 85, 2, 150, 40 }));
    EXPECT_EQ(title->text(), "");
}

TEST_F(BarTest, BundleImagesPreferDoubleDensityOnADoubleScreen)
{
    ImageBundle bundle;
    auto single = ui::BundleImages::imageNamed("dot");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->size(), (gfx::Size { 8, 8 }));
    EXPECT_EQ(single->scale(), 1);
    EXPECT_EQ(ui::BundleImages::imageNamed("dot.png"), ui::BundleImages::imageNamed("dot.png"));
    EXPECT_EQ(ui::BundleImages::nameOf(*single), "dot");
    EXPECT_FALSE(ui::BundleImages::imageNamed("missing.png"));

    ui::Screen::mainScreen().setScale(2);
    auto doubled = ui::BundleImages::imageNamed("dot.png");
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->size(), (gfx::Size { 8, 8 }));
    EXPECT_EQ(doubled->scale(), 2);
    EXPECT_EQ(doubled->pixelAt(0, 0), (gfx::Pixel { 0, 0, 255, 255 }));
}

}

}
