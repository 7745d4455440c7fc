#include "BoardTest.h"
#include "TestPictures.h"

#include "board/BrenzoAppDelegate.h"
#include "board/ChoiceCell.h"
#include "board/EditTouchImageViewController.h"
#include "board/IndexPathValue.h"
#include "board/KTextFieldCell.h"
#include "board/PeopleListViewController.h"
#include "board/SelectionListViewController.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/String.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "support/ScopedFileSizeLimit.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PressFinder.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "support/TemporaryDirectory.h"

#include <fstream>

namespace brenzo::testing {

class EditTouchImageViewControllerTest : public BoardTest {
protected:
    void SetUp() override
    {
        board = showBoard();
        appDelegate = BrenzoAppDelegate::create();
        appDelegate->setViewController(board);
        ui::Application::shared().setDelegate(appDelegate);
        picture = board->mainTouchImageView()->children().front();
        board->setEditMode(true);
    }

    void TearDown() override { fnd::Bundle::setMain(nullptr); }

    // The picture becomes one of the given kind, then its settings open as an edit-mode double tap opens them.
    void openSettings(std::optional<std::string> type, std::optional<std::string> parameters = std::nullopt)
    {
        picture->setType(std::move(type));
        picture->setParameters(std::move(parameters));
        picture->EditButton();
        runUntilIdle();
        tabs = std::dynamic_pointer_cast<ui::TabBarController>(board->presentedViewController());
        ASSERT_TRUE(tabs);
        navigation = std::dynamic_pointer_cast<ui::NavigationController>(tabs->viewControllers().at(0));
        ASSERT_TRUE(navigation);
        settings = std::dynamic_pointer_cast<EditTouchImageViewController>(navigation->topViewController());
        ASSERT_TRUE(settings);
        table = settings->tableView();
        ui::Application::shared().layoutIfNeeded();
    }

    std::string rowText(int section, int row)
    {
        auto cell = table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, section));
        return cell ? cell->textLabel()->text() : "(no row)";
    }

    void press(std::string_view text)
    {
        ASSERT_EQ(ui::PressFinder::press(text).status, ui::PressFinder::Result::Status::Pressed) << text;
        runUntilIdle();
        ui::Application::shared().layoutIfNeeded();
    }

    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<BrenzoAppDelegate> appDelegate;
    std::shared_ptr<TouchImageView> picture;
    std::shared_ptr<ui::TabBarController> tabs;
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<EditTouchImageViewController> settings;
    std::shared_ptr<ui::TableView> table;
};

TEST_F(EditTouchImageViewControllerTest, APictureWithoutActionHasOnlyItsTypeSection)
{
    openSettings("none");

    EXPECT_EQ(table->style(), ui::TableViewStyle::Grouped);
    ASSERT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->headerTitleForSection(0), "Type");
    EXPECT_EQ(table->footerTitleForSection(0), std::nullopt);
    EXPECT_EQ(table->numberOfRowsInSection(0), 1);
    EXPECT_EQ(rowText(0, 0), "Type: None");
    EXPECT_EQ(settings->typeCell()->accessoryType(), ui::TableViewCellAccessoryType::DisclosureIndicator);
}

TEST_F(EditTouchImageViewControllerTest, AWebPictureShowsItsAddressUnderParametersWithTheVersionFooter)
{
    openSettings("http", "http://example.org/door");

    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(rowText(0, 0), "Type: Webrequest");
    EXPECT_EQ(table->headerTitleForSection(1), "Parameters");
    EXPECT_EQ(table->footerTitleForSection(1), "Tarvol v1.0");
    ASSERT_EQ(table->numberOfRowsInSection(1), 1);
    EXPECT_EQ(table->cellForRowAtIndexPath({ 1, 0 }), settings->urlCell());
    EXPECT_EQ(rowText(1, 0), "URL");
    EXPECT_EQ(settings->urlCell()->textField()->text(), "http://example.org/door");
}

TEST_F(EditTouchImageViewControllerTest, ACallingPictureOffersToSelectANumber)
{
    openSettings("tel", "tel:0612345678");

    EXPECT_EQ(rowText(0, 0), "Type: Phone Call");
    ASSERT_EQ(table->numberOfRowsInSection(1), 1);
    EXPECT_EQ(rowText(1, 0), "Select");
    EXPECT_EQ(table->cellForRowAtIndexPath({ 1, 0 })->accessoryType(), ui::TableViewCellAccessoryType::DisclosureIndicator);
}

TEST_F(EditTouchImageViewControllerTest, APlaceholderKeepsAnEmptyParametersSectionAndShowsNone)
{
    openSettings("unknown");

    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(rowText(0, 0), "Type: None");
    EXPECT_EQ(table->headerTitleForSection(1), "Parameters");
    EXPECT_EQ(table->numberOfRowsInSection(1), 0);
    EXPECT_EQ(table->footerTitleForSection(1), "Tarvol v1.0");
}

TEST_F(EditTouchImageViewControllerTest, TextsWithoutATranslationShowTheirKeysAndTheFooterTheVersionAsStored)
{
    TemporaryDirectory bundle;
    std::ofstream(bundle.path() / "Info.plist") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                                   "<key>CFBundleVersion</key><string>2.3 (45%)</string></dict></plist>\n";
    std::filesystem::create_directories(bundle.path() / "en.lproj");
    std::ofstream(bundle.path() / "en.lproj" / "Localizable.strings") << "\"Type\" = \"Kind\";\n\"Phone Call\" = \"Call\";\n";
    fnd::Bundle::setMain(fnd::Bundle::createWithPath(bundle.path()));

    openSettings("tel");

    EXPECT_EQ(table->footerTitleForSection(1), "Tarvol v2.3 (45%)");
    EXPECT_EQ(table->headerTitleForSection(0), "Kind");
    EXPECT_EQ(table->headerTitleForSection(1), "Parameters");
    EXPECT_EQ(rowText(0, 0), "Kind: Call");
    EXPECT_EQ(settings->typeValue(), (std::vector<std::string> { "None", "Webrequest", "Call" }));
    EXPECT_EQ(settings->typeIndex(), (std::vector<std::string> { "none", "http", "tel" }));
}

TEST_F(EditTouchImageViewControllerTest, TheScreenWearsTheTintedBarWithTheLogoAndASettingsTab)
{
    openSettings("none");

    EXPECT_EQ(settings->title(), "Settings");
    EXPECT_EQ(settings->tabBarItem()->title(), "Settings");
    ASSERT_TRUE(settings->tabBarItem()->image());
    EXPECT_EQ(ui::BundleImages::nameOf(*settings->tabBarItem()->image()), "edit.png");
    EXPECT_EQ(navigation->tabBarItem(), settings->tabBarItem()) << "the tab shows the settings' item";
    auto titleView = std::dynamic_pointer_cast<ui::Label>(settings->navigationItem()->titleView());
    ASSERT_TRUE(titleView);
    EXPECT_EQ(titleView->text(), "");

    auto bar = navigation->navigationBar();
    EXPECT_EQ(bar->tintColor(), (gfx::Color { 0.25390625, 0.25390625, 0.62890625, 1 }));
    std::shared_ptr<ui::ImageView> logo;
    for (auto& subview : bar->subviews()) {
        auto imageView = std::dynamic_pointer_cast<ui::ImageView>(subview);
        if (imageView && imageView->image() && ui::BundleImages::nameOf(*imageView->image()) == "tarvollogo.png")
            logo = imageView;
    }
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->frame(), (gfx::Rect { 85, 2, 150, 44 }));
    EXPECT_TRUE(logo->isOpaque());
    EXPECT_EQ(logo->autoresizingMask(), ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin | ui::Autoresizing::FlexibleHeight);
    EXPECT_TRUE(m_log.contains("height: 44.000000"));
    EXPECT_FALSE(settings->shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation::LandscapeLeft));
}

TEST_F(EditTouchImageViewControllerTest, DoneClosesTheSettingsThroughTheBoard)
{
    openSettings("none");
    auto done = settings->navigationItem()->leftBarButtonItem();
    ASSERT_TRUE(done);
    EXPECT_EQ(done->action().name(), "dismissSettingsView");
    EXPECT_EQ(done->action().targetAddress(), board.get());

    press("Done");

    EXPECT_FALSE(board->presentedViewController());
}

TEST_F(EditTouchImageViewControllerTest, ChoosingPhoneCallMakesACallingPictureAndClosesTheList)
{
    openSettings("none");

    press("Type: None");
    auto list = std::dynamic_pointer_cast<SelectionListViewController>(navigation->topViewController());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->tableViewStyle(), ui::TableViewStyle::Grouped);
    EXPECT_EQ(list->subtitle(), "Type");
    EXPECT_EQ(list->items(), (std::vector<std::string> { "None", "Webrequest", "Phone Call" }));
    EXPECT_EQ(list->selectedIndex(), 0);
    auto reference = fnd::as<IndexPathValue>(list->reference());
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->indexPath(), (ui::IndexPath { 0, 0 }));

    press("Phone Call");

    EXPECT_EQ(picture->type(), "tel");
    EXPECT_TRUE(m_log.contains("type: tel"));
    EXPECT_EQ(navigation->topViewController(), settings);
    EXPECT_EQ(settings->typeCell()->selectedIndex(), 2);
    ASSERT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(rowText(0, 0), "Type: Phone Call");
    EXPECT_EQ(rowText(1, 0), "Select");
}

TEST_F(EditTouchImageViewControllerTest, ChoicesOutOfRangeOrFromAnotherRowAreIgnored)
{
    openSettings("http", "http://example.org/");
    press("Type: Webrequest");
    auto list = std::dynamic_pointer_cast<SelectionListViewController>(navigation->topViewController());
    ASSERT_TRUE(list);

    settings->selectionListViewControllerSelectedIndexWithReference(*list, 3, IndexPathValue::create({ 0, 0 }));
    settings->selectionListViewControllerSelectedIndexWithReference(*list, -1, IndexPathValue::create({ 0, 0 }));
    settings->selectionListViewControllerSelectedIndexWithReference(*list, 0, IndexPathValue::create({ 1, 0 }));
    settings->selectionListViewControllerSelectedIndexWithReference(*list, 0, fnd::String::create("1"));
    runUntilIdle();

    EXPECT_EQ(picture->type(), "http");
    EXPECT_EQ(settings->typeCell()->selectedIndex(), 1);
    EXPECT_EQ(navigation->topViewController(), list);
}

TEST_F(EditTouchImageViewControllerTest, ReturnInTheAddressFieldStoresItAndTypingAloneStoresNothing)
{
    openSettings("http", "http://example.org/old");
    auto field = settings->urlCell()->textField();
    ASSERT_TRUE(field->becomeFirstResponder());
    field->setText("");
    field->insertText("http://example.org/new");
    EXPECT_EQ(picture->parameters(), "http://example.org/old");

    field->insertText("\n");
    EXPECT_EQ(picture->parameters(), "http://example.org/new");
    EXPECT_EQ(field->text(), "http://example.org/new");
    EXPECT_FALSE(field->isFirstResponder());

    ASSERT_TRUE(field->becomeFirstResponder());
    field->insertText("/more");
    press("Done");
    EXPECT_EQ(picture->parameters(), "http://example.org/new");
}

TEST_F(EditTouchImageViewControllerTest, EditingTheAddressShowsTheTableFromItsTop)
{
    openSettings("http", "http://example.org/");
    table->setContentOffset({ 0, 30 });

    ASSERT_TRUE(settings->urlCell()->textField()->becomeFirstResponder());

    EXPECT_EQ(table->contentOffset(), (gfx::Point { 0, 0 }));
}

TEST_F(EditTouchImageViewControllerTest, SelectOpensThePickerWithTheScreenAsItsDelegate)
{
    appDelegate->setAllContact(std::make_shared<const BrenzoAppDelegate::ContactList>());
    openSettings("tel", "tel:01");

    press("Select");

    auto picker = std::dynamic_pointer_cast<PeopleListViewController>(navigation->topViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->tableViewStyle(), ui::TableViewStyle::Grouped);
    EXPECT_EQ(picker->selectedIndex(), -1);
    EXPECT_EQ(picker->delegate().get(), static_cast<PeopleListViewControllerDelegate*>(settings.get()));
    EXPECT_FALSE(picker->touchImage());
    auto reference = fnd::as<fnd::String>(picker->reference());
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->view(), "1");
}

TEST_F(EditTouchImageViewControllerTest, APickedNumberMakesTheNewContactsPictureWithoutTheOldOnesBadgeAndId)
{
    auto book = ab::AddressBook::createEmpty();
    ab::PersonDetails person;
    person.firstName = fnd::String::create("John");
    person.lastName = fnd::String::create("Smith");
    person.phoneNumbers.push_back({ fnd::String::create(ab::PhoneLabel::mobile), fnd::String::create("06 12 34 56 78") });
    book->addPerson(person);
    ab::AddressBook::useBook(book);
    appDelegate->loadAllContact();

    picture->setTitle("Ann Able");
    picture->setBadgeString("work");
    picture->setBadgeColor(gfx::Color { 0.792, 0.197, 0.219, 1 });
    picture->setId(42);
    auto boardFileBefore = boardFileText();
    openSettings("tel", "tel:01");

    press("Select");
    press("John Smith");

    EXPECT_EQ(picture->type(), "tel");
    EXPECT_EQ(picture->parameters(), "tel:0612345678");
    EXPECT_EQ(picture->imageName(), "image001.png");
    EXPECT_TRUE(fnd::FileManager::fileExists(documents() / "image001.png"));
    ASSERT_TRUE(picture->image());
    EXPECT_EQ(picture->title(), "Smith John");
    EXPECT_FALSE(picture->badgeString().has_value());
    EXPECT_FALSE(picture->badgeColor().has_value());
    EXPECT_EQ(picture->id(), 0);
    // The board is saved from its edit tool bar, not here; the pick closes the settings.
    EXPECT_EQ(boardFileText(), boardFileBefore);
    EXPECT_FALSE(board->presentedViewController());
}

TEST_F(EditTouchImageViewControllerTest, APickedPhotoIsWrittenUnderTheNextFreeName)
{
    openSettings("tel");
    std::ofstream(documents() / "image001.png") << "taken";
    auto photo = solidPicture({ 30, 40 }, gfx::Color { 0.2, 0.4, 0.6, 1 });

    settings->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*settings, photo, -1, "Doe Jane", " 01 02 ", fnd::String::create("1"));

    EXPECT_EQ(picture->imageName(), "image002.png");
    EXPECT_EQ(picture->image(), photo);
    EXPECT_EQ(picture->parameters(), "tel:0102");
    auto written = gfx::Image::createWithContentsOfFile(documents() / "image002.png");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), (gfx::Size { 30, 40 }));
}

TEST_F(EditTouchImageViewControllerTest, APhotoThatCannotBeWrittenLeavesThePictureAsItWasAndTellsTheUser)
{
    openSettings("tel", "tel:01");
    picture->setTitle("Ann Able");
    auto imageBefore = picture->image();
    auto nameBefore = picture->imageName();
    {
        ScopedFileSizeLimit limit(16);
        settings->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*settings, solidPicture({ 60, 60 }, gfx::Color { 0.2, 0.4, 0.6, 1 }),
            -1, "Doe Jane", "01 02", fnd::String::create("1"));
    }
    EXPECT_EQ(picture->imageName(), nameBefore);
    EXPECT_EQ(picture->image(), imageBefore);
    EXPECT_EQ(picture->title(), "Ann Able");
    EXPECT_EQ(picture->parameters(), "tel:01");
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));
    EXPECT_TRUE(m_effects.contains("alert \"Picture Not Saved\""));
}

}
