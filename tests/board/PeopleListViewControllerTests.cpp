#include "BoardTest.h"
#include "TestPictures.h"

#include "board/BrenzoAppDelegate.h"
#include "board/PeopleListViewController.h"
#include "board/PeopleListViewControllerDelegate.h"
#include "board/TDBadgedCell.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/foundation/FileManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SearchDisplayController.h"

#include <atomic>
#include <fstream>
#include <thread>

namespace brenzo::testing {

namespace {

const gfx::Color mobileGreen { 45.0 / 255, 242.0 / 255, 140.0 / 255, 1 };

struct Person {
    using Numbers = std::vector<std::pair<std::string_view, std::string>>;

    Person(std::optional<std::string> first, std::optional<std::string> last, std::optional<std::string> organization = std::nullopt,
        Numbers numbers = { { ab::PhoneLabel::mobile, "06 12 34 56 78" } }, fnd::Ref<fnd::Data> photo = nullptr)
        : first(std::move(first))
        , last(std::move(last))
        , organization(std::move(organization))
        , numbers(std::move(numbers))
        , photo(std::move(photo))
    {
    }

    std::optional<std::string> first;
    std::optional<std::string> last;
    std::optional<std::string> organization;
    Numbers numbers;
    fnd::Ref<fnd::Data> photo;
};

fnd::Ref<fnd::String> text(const std::optional<std::string>& value)
{
    return value ? fnd::String::create(*value) : nullptr;
}

ab::PersonDetails detailsOf(const Person& person)
{
    ab::PersonDetails details;
    details.firstName = text(person.first);
    details.lastName = text(person.last);
    details.organization = text(person.organization);
    for (auto& [label, number] : person.numbers)
        details.phoneNumbers.push_back({ fnd::String::create(label), fnd::String::create(number) });
    details.imageData = person.photo;
    return details;
}

class RecordingDelegate final : public PeopleListViewControllerDelegate {
public:
    void peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController&, const fnd::Ref<gfx::Image>& photo,
        int32_t selectedIndex, const std::string& name, const std::string& phone, const fnd::Id& reference) override
    {
        ++calls;
        this->photo = photo;
        this->selectedIndex = selectedIndex;
        this->name = name;
        this->phone = phone;
        this->reference = reference;
    }

    int calls = 0;
    fnd::Ref<gfx::Image> photo;
    int32_t selectedIndex = 0;
    std::string name;
    std::string phone;
    fnd::Id reference;
};

}

class PeopleListTest : public BoardTest {
protected:
    PeopleListTest() { ui::Application::shared().setDelegate(m_application); }

    // The address book the loader reads; the list is published at once.
    void load(const std::vector<Person>& people)
    {
        auto book = ab::AddressBook::createEmpty();
        for (auto& person : people)
            book->addPerson(detailsOf(person));
        ab::AddressBook::useBook(book);
        m_application->loadAllContact();
    }

    std::shared_ptr<PeopleListViewController> openPicker(std::shared_ptr<TouchImageView> picture = nullptr,
        std::shared_ptr<PeopleListViewControllerDelegate> delegate = nullptr)
    {
        auto picker = PeopleListViewController::create(ui::TableViewStyle::Grouped);
        picker->setSelectedIndex(-1);
        picker->setReference(fnd::String::create("1"));
        picker->setTouchImage(std::move(picture));
        picker->setDelegate(delegate);
        picker->view();
        return picker;
    }

    // The board with its picker on top, as a tap on a placeholder shows them.
    std::shared_ptr<PeopleListViewController> presentPickerOverBoard(std::shared_ptr<TouchImageView> picture,
        std::shared_ptr<PeopleListViewControllerDelegate> delegate = nullptr)
    {
        auto picker = openPicker(std::move(picture), std::move(delegate));
        m_board->presentViewController(ui::NavigationController::createWithRootViewController(picker), true);
        runUntilIdle();
        return picker;
    }

    void showBoardOfApplication()
    {
        m_board = showBoard();
        m_application->setViewController(m_board);
        m_placeholder = m_board->mainTouchImageView()->children().front();
    }

    static std::vector<std::string> namesInSection(PeopleListViewController& picker, int section)
    {
        std::vector<std::string> names;
        int rows = picker.numberOfRowsInSection(*picker.tableView(), section);
        for (int row = 0; row < rows; ++row)
            names.push_back(picker.recordForRowAtIndexPath({ section, row })->compositeName());
        return names;
    }

    static std::vector<std::string> sectionTitles(PeopleListViewController& picker)
    {
        std::vector<std::string> titles;
        auto& table = *picker.tableView();
        for (int section = 0; section < picker.numberOfSectionsInTableView(table); ++section)
            titles.push_back(picker.titleForHeaderInSection(table, section).value_or("?"));
        return titles;
    }

    static void search(PeopleListViewController& picker, const std::string& searchText)
    {
        picker.searchBar()->setText(searchText);
        picker.searchDisplayController()->searchTextChanged(searchText);
    }

    std::shared_ptr<TDBadgedCell> cellFor(PeopleListViewController& picker, ui::IndexPath indexPath)
    {
        return std::dynamic_pointer_cast<TDBadgedCell>(picker.cellForRowAtIndexPath(*picker.tableView(), indexPath));
    }

    std::shared_ptr<BrenzoAppDelegate> m_application = BrenzoAppDelegate::create();
    std::shared_ptr<BrenzoViewController> m_board;
    std::shared_ptr<TouchImageView> m_placeholder;
};

TEST_F(PeopleListTest, SectionsFollowTheOrderInWhichTheirLettersFirstAppear)
{
    ab::AddressBook::setSortOrdering(ab::SortOrdering::LastNameFirst);
    load({ { std::nullopt, "élan" }, { "Bob", std::nullopt }, { std::nullopt, "apple" } });
    auto picker = openPicker();
    auto& table = *picker->tableView();
    // The loader lists apple, Bob, élan; the accented letter indexes under "-". Not sorted again.
    EXPECT_EQ(sectionTitles(*picker), (std::vector<std::string> { "A", "B", "-" }));
    EXPECT_EQ(picker->sectionIndexTitlesForTableView(table), (std::vector<std::string> { "A", "B", "-" }));
    EXPECT_EQ(namesInSection(*picker, 2), std::vector<std::string> { "élan" });
    EXPECT_EQ(picker->heightForRowAtIndexPath(table, { 0, 0 }), 40);
    EXPECT_TRUE(m_log.contains("refresh"));

    // Nameless: "Unknown", under "U", listed first by the loader's ordering.
    load({ { "Bob", std::nullopt }, { std::nullopt, std::nullopt, std::nullopt, { { ab::PhoneLabel::home, "1" } } } });
    picker = openPicker();
    EXPECT_EQ(sectionTitles(*picker), (std::vector<std::string> { "U", "B" }));
    EXPECT_EQ(namesInSection(*picker, 0), std::vector<std::string> { "Unknown" });
    EXPECT_EQ(cellFor(*picker, { 0, 0 })->textLabel()->text(), "Unknown");
}

TEST_F(PeopleListTest, EachSectionListsExactlyItsEntriesInListOrderWhenLettersInterleave)
{
    // Under a first-name ordering the entries of one last-name letter do not lie together.
    ab::AddressBook::setSortOrdering(ab::SortOrdering::FirstNameFirst);
    load({ { "Anna", "Adams" }, { "Bert", "Brown", std::nullopt, { { ab::PhoneLabel::home, "1" }, { ab::PhoneLabel::work, "2" } } },
        { "Carl", "Allen" }, { "Dora", "Baker" } });
    ab::AddressBook::setSortOrdering(ab::SortOrdering::LastNameFirst);
    auto picker = openPicker();
    EXPECT_EQ(picker->indexLettersAll(), (std::vector<std::string> { "A", "B", "B", "A", "B" }));
    EXPECT_EQ(sectionTitles(*picker), (std::vector<std::string> { "A", "B" }));
    EXPECT_EQ(namesInSection(*picker, 0), (std::vector<std::string> { "Adams Anna", "Allen Carl" }));
    EXPECT_EQ(namesInSection(*picker, 1), (std::vector<std::string> { "Brown Bert", "Brown Bert", "Baker Dora" }));
    EXPECT_EQ(picker->beforeIndex("B"), 1u);
    EXPECT_EQ(picker->entryIndexForRowAtIndexPath({ 0, 1 }), 3u);
    EXPECT_EQ(picker->entryIndexForRowAtIndexPath({ 0, 2 }), std::nullopt);
    EXPECT_EQ(picker->entryIndexForRowAtIndexPath({ 2, 0 }), std::nullopt);
    EXPECT_EQ(picker->recordForRowAtIndexPath({ 1, 1 })->phone(), "2");
}

TEST_F(PeopleListTest, AnEmptyAddressBookHasNoSections)
{
    load({});
    auto picker = openPicker();
    auto& table = *picker->tableView();
    EXPECT_EQ(picker->numberOfSectionsInTableView(table), 0);
    EXPECT_EQ(picker->numberOfRowsInSection(table, 0), 0);
    EXPECT_TRUE(picker->sectionIndexTitlesForTableView(table).empty());
    EXPECT_EQ(picker->titleForHeaderInSection(table, 0), std::nullopt);
}

TEST_F(PeopleListTest, SearchIgnoresCaseAndAccentsAndCancellingShowsEverythingAgain)
{
    load({ { "Joël", "Martin" }, { "John", "Smith" }, { "Alice", "Appleton" } });
    auto picker = openPicker();
    picker->searchDisplayController()->setActive(true);
    EXPECT_TRUE(m_log.contains("searchDisplayControllerDidBeginSearch"));

    search(*picker, "joel");
    EXPECT_TRUE(picker->isShowingSearchResults());
    EXPECT_EQ(namesInSection(*picker, 0), std::vector<std::string> { "Martin Joël" });
    EXPECT_TRUE(picker->searchDisplayController()->isShowingResults());
    auto& results = *picker->searchDisplayController()->searchResultsTableView();
    EXPECT_EQ(results.numberOfSections(), 1);
    EXPECT_EQ(results.numberOfRowsInSection(0), 1);

    search(*picker, "SMITH");
    EXPECT_EQ(sectionTitles(*picker), std::vector<std::string> { "S" });
    EXPECT_EQ(namesInSection(*picker, 0), std::vector<std::string> { "Smith John" });

    search(*picker, "PLE");
    EXPECT_EQ(namesInSection(*picker, 0), std::vector<std::string> { "Appleton Alice" });

    search(*picker, "");
    EXPECT_EQ(picker->numberOfSectionsInTableView(*picker->tableView()), 0);
    EXPECT_TRUE(picker->qualifiedEntries().empty());

    search(*picker, "o");
    m_log.clear();
    picker->searchDisplayController()->searchBarCancelled();
    EXPECT_FALSE(picker->isShowingSearchResults());
    EXPECT_TRUE(m_log.contains("refresh"));
    EXPECT_EQ(sectionTitles(*picker), (std::vector<std::string> { "A", "M", "S" }));
    EXPECT_EQ(picker->entries().size(), 3u);
}

TEST_F(PeopleListTest, RowsShowTheNameInColouredPartsThePhoneAndAColouredLabelBadge)
{
    load({ { "John", "Smith", std::nullopt, { { ab::PhoneLabel::mobile, "06 12" }, { ab::PhoneLabel::iPhone, "07" }, { ab::PhoneLabel::work, "08" },
               { ab::PhoneLabel::home, "09" } },
               solidPicture({ 64, 64 }, { 1, 0, 0 })->pngRepresentation() },
        { "Zoë", std::nullopt }, { std::nullopt, "Young" }, { std::nullopt, std::nullopt, "Acme" } });
    auto picker = openPicker();
    // Sections: "A" (Acme), "S" (Smith John, four numbers), "Y", "Z".
    EXPECT_EQ(sectionTitles(*picker), (std::vector<std::string> { "A", "S", "Y", "Z" }));
    auto cell = cellFor(*picker, { 1, 0 });
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->style(), ui::TableViewCellStyle::Subtitle);
    EXPECT_EQ(cell->reuseIdentifier(), PeopleListViewController::cellIdentifier);
    EXPECT_EQ(cell->textLabel()->text(), "John Smith");
    EXPECT_EQ(cell->textLabel()->textColor().alpha, 0);
    EXPECT_EQ(cell->textLabel()->font(), gfx::Font::boldSystemFont(14));
    EXPECT_EQ(cell->detailTextLabel()->font(), gfx::Font::systemFont(13));
    auto& parts = cell->multipartLabel()->labels();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0]->text(), "John");
    EXPECT_EQ(parts[0]->textColor(), (gfx::Color { 0, 0, 0, 1 }));
    EXPECT_EQ(parts[1]->text(), " ");
    EXPECT_EQ(parts[2]->text(), "Smith");
    EXPECT_EQ(parts[2]->textColor(), (gfx::Color { 0, 0, 1, 1 }));
    EXPECT_EQ(parts[2]->font(), gfx::Font::boldSystemFont(14));
    EXPECT_EQ(cell->detailTextLabel()->text(), "06 12");
    EXPECT_EQ(cell->badgeString(), "mobile");
    EXPECT_EQ(cell->badgeColor(), mobileGreen);
    EXPECT_FALSE(cell->showShadow());
    ASSERT_TRUE(cell->imageView()->image());
    EXPECT_EQ(cell->imageView()->image()->size(), (gfx::Size { 160, 160 }));

    EXPECT_EQ(cellFor(*picker, { 1, 1 })->badgeColor(), (gfx::Color { 1, 0.8, 10.0 / 255, 1 }));
    EXPECT_EQ(cellFor(*picker, { 1, 2 })->badgeColor(), (gfx::Color { 0.792, 0.197, 0.219, 1 }));
    EXPECT_EQ(cellFor(*picker, { 1, 3 })->badgeColor(), (gfx::Color { 45.0 / 255, 65.0 / 255, 239.0 / 255, 1 }));

    auto lastOnly = cellFor(*picker, { 2, 0 });
    ASSERT_EQ(lastOnly->multipartLabel()->labels().size(), 1u);
    EXPECT_EQ(lastOnly->multipartLabel()->labels()[0]->text(), "Young");
    EXPECT_EQ(lastOnly->multipartLabel()->labels()[0]->textColor(), (gfx::Color { 0, 0, 1, 1 }));
    EXPECT_FALSE(lastOnly->imageView()->image());
    auto firstOnly = cellFor(*picker, { 3, 0 });
    EXPECT_EQ(firstOnly->textLabel()->text(), "Zoë");
    EXPECT_EQ(firstOnly->multipartLabel()->labels()[0]->textColor(), (gfx::Color { 0, 0, 0, 1 }));
    auto organization = cellFor(*picker, { 0, 0 });
    EXPECT_EQ(organization->textLabel()->text(), "Acme");
    EXPECT_EQ(organization->multipartLabel()->labels()[0]->textColor(), (gfx::Color { 0, 0, 1, 1 }));
}

TEST_F(PeopleListTest, APickTurnsThePictureIntoTheContactsPictureAndSavesTheBoard)
{
    load({ { "John", "Smith", std::nullopt, { { ab::PhoneLabel::mobile, "06 12 34 56 78" } }, solidPicture({ 64, 64 }, { 0, 0, 1 })->pngRepresentation() } });
    showBoardOfApplication();
    auto picker = presentPickerOverBoard(m_placeholder);
    auto contactId = m_application->allContact()->front()->contact()->recordId();

    picker->didSelectRowAtIndexPath(*picker->tableView(), { 0, 0 });
    EXPECT_EQ(m_placeholder->type(), "tel");
    EXPECT_EQ(m_placeholder->parameters(), "tel:0612345678");
    EXPECT_EQ(m_placeholder->badgeString(), "mobile");
    EXPECT_EQ(m_placeholder->badgeColor(), mobileGreen);
    EXPECT_EQ(m_placeholder->title(), "Smith John");
    EXPECT_EQ(m_placeholder->id(), contactId);
    EXPECT_EQ(m_placeholder->imageName(), "image001.png");
    EXPECT_EQ(m_placeholder->image()->size(), (gfx::Size { 180, 180 }));
    EXPECT_FALSE(m_placeholder->badge()->isHidden());
    EXPECT_FALSE(m_placeholder->labelView()->isHidden());

    auto written = gfx::Image::createWithContentsOfFile(documents() / "image001.png");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(written->pixelAt(90, 90), pixelOf({ 0, 0, 1 }));
    auto board = boardFileText().value_or("");
    EXPECT_NE(board.find("<background>image001.png</background>"), std::string::npos);
    EXPECT_NE(board.find("<parameters>tel:0612345678</parameters>"), std::string::npos);
    EXPECT_NE(board.find("color=\"0.176471,0.949020,0.549020,1.000000\""), std::string::npos);

    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
    EXPECT_FALSE(picker->tableView()->indexPathForSelectedRow());
}

TEST_F(PeopleListTest, PickingTheAlreadyChosenEntryOnlyDeselectsTheRow)
{
    load({ { "John", "Smith" } });
    showBoardOfApplication();
    auto picker = presentPickerOverBoard(m_placeholder);
    picker->setSelectedIndex(0);
    picker->tableView()->selectRowAtIndexPath(ui::IndexPath { 0, 0 }, false, ui::TableViewScrollPosition::None);
    picker->didSelectRowAtIndexPath(*picker->tableView(), { 0, 0 });
    runUntilIdle();
    EXPECT_FALSE(picker->tableView()->indexPathForSelectedRow());
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));
    EXPECT_TRUE(m_board->presentedViewController());
}

TEST_F(PeopleListTest, WithADelegateThePickGoesToTheDelegateAndThePictureStaysAsItWas)
{
    load({ { "John", "Smith", std::nullopt, { { ab::PhoneLabel::work, "01 45 67" } } }, { "Kenji", std::nullopt } });
    showBoardOfApplication();
    auto delegate = std::make_shared<RecordingDelegate>();
    auto picker = presentPickerOverBoard(m_placeholder, delegate);

    picker->didSelectRowAtIndexPath(*picker->tableView(), { 1, 0 });
    EXPECT_EQ(delegate->calls, 1);
    ASSERT_TRUE(delegate->photo);
    EXPECT_EQ(delegate->photo->size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(delegate->selectedIndex, -1);
    EXPECT_EQ(delegate->name, "Smith John");
    EXPECT_EQ(delegate->phone, "014567");
    EXPECT_EQ(fnd::descriptionOf(delegate->reference), "1");
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));
    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
}

TEST_F(PeopleListTest, PickAndTrashWithoutAPictureChangeNothingAndStillClose)
{
    load({ { "John", "Smith" } });
    showBoardOfApplication();
    auto before = boardFileText();

    auto picker = openPicker();
    m_board->presentViewController(picker, true);
    runUntilIdle();
    picker->didSelectRowAtIndexPath(*picker->tableView(), { 0, 0 });
    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));

    picker = openPicker();
    m_board->presentViewController(picker, true);
    runUntilIdle();
    picker->navigationItem()->rightBarButtonItem()->press();
    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
    EXPECT_EQ(boardFileText(), before);
}

TEST_F(PeopleListTest, TrashTurnsThePictureBackIntoAPlaceholderAndSavesTheBoard)
{
    load({ { "John", "Smith" } });
    showBoardOfApplication();
    auto picker = presentPickerOverBoard(m_placeholder);
    picker->didSelectRowAtIndexPath(*picker->tableView(), { 0, 0 });
    runUntilIdle();
    ASSERT_EQ(m_placeholder->type(), "tel");

    picker = presentPickerOverBoard(m_placeholder);
    EXPECT_EQ(picker->navigationItem()->leftBarButtonItem()->action().name(), "dismissSettingsView");
    picker->navigationItem()->rightBarButtonItem()->press();
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_EQ(m_placeholder->imageName(), "contact-placeholder.png");
    EXPECT_EQ(m_placeholder->title(), "");
    EXPECT_TRUE(m_placeholder->badge()->isHidden());
    EXPECT_NE(boardFileText().value_or("").find("<background>contact-placeholder.png</background>"), std::string::npos);
    EXPECT_EQ(boardFileText().value_or("").find("image001.png"), std::string::npos);
    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
}

TEST_F(PeopleListTest, CancelClosesThePickerThroughTheBoard)
{
    load({ { "John", "Smith" } });
    showBoardOfApplication();
    presentPickerOverBoard(m_placeholder)->navigationItem()->leftBarButtonItem()->press();
    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
    EXPECT_EQ(m_placeholder->type(), "unknown");
}

TEST_F(PeopleListTest, APictureFileThatCannotBeWrittenLeavesThePictureAsItWas)
{
    load({ { "John", "Smith" } });
    showBoardOfApplication();
    auto picker = presentPickerOverBoard(m_placeholder);
    // The documents folder becomes a plain file: nothing can be written into it.
    auto folder = documents();
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way";

    picker->didSelectRowAtIndexPath(*picker->tableView(), { 0, 0 });
    EXPECT_TRUE(m_log.contains("picture image001.png not written"));
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_EQ(m_placeholder->imageName(), "contact-placeholder.png");
    EXPECT_EQ(m_placeholder->parameters(), "");
    runUntilIdle();
    EXPECT_FALSE(m_board->presentedViewController());
}

TEST_F(PeopleListTest, TheScreenWaitsForTheContactListWithoutSpinning)
{
    auto book = ab::AddressBook::createEmpty();
    book->addPerson(detailsOf({ "John", "Smith" }));
    ab::AddressBook::useBook(book);
    ASSERT_FALSE(m_application->allContact());

    std::atomic<bool> published = false;
    std::thread loader([&] {
        while (m_log.count("waiting") < 3)
            std::this_thread::yield();
        m_application->loadAllContact();
        published = true;
    });
    auto picker = openPicker();
    loader.join();

    EXPECT_TRUE(published);
    EXPECT_EQ(picker->entries().size(), 1u);
    EXPECT_EQ(namesInSection(*picker, 0), std::vector<std::string> { "Smith John" });
    // A poll every few hundredths of a second, not thousands of looks.
    EXPECT_GE(m_log.count("waiting"), 3u);
    EXPECT_LE(m_log.count("waiting"), 6u);
}

}
