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

#include <fstream>
#include <thread>

namespace brenzo::testing {

namespace {

const gfx::Color mobileGreen { 45.0 / 255, 242.0 / 255, 140.0 / 255, 1 };

struct Person {
    using Numbers = std::vector<std::pair<std::string_view, std::string>>;

    Person(std::optional<std::string> first, std::optional<std::string> last, std::optional<std::string> organization = std::nullopt,
        Numbers numbers = { { ab::PhoneLabel::mobile, "06 12 34 56 78" } }, fnd::Ref<fnd::Data> photo = nullptr)
    {
        auto text = [](const std::optional<std::string>& value) { return value ? fnd::String::create(*value) : nullptr; };
        details.firstName = text(first);
        details.lastName = text(last);
        details.organization = text(organization);
        for (auto& [label, number] : numbers)
            details.phoneNumbers.push_back({ fnd::String::create(label), fnd::String::create(number) });
        details.imageData = std::move(photo);
    }

    ab::PersonDetails details;
};

class RecordingDelegate final : public PeopleListViewControllerDelegate {
public:
    void peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController&, const fnd::Ref<gfx::Image>& photo,
        int32_t selectedIndex, const std::string& name, const std::string& phone, const fnd::Id& reference) override
    {
        calls.push_back(fnd::format("%d %@ %@ %@ %@", selectedIndex, name, phone, reference, photo ? photo->size().width : 0));
    }

    std::vector<std::string> calls;
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
            book->addPerson(person.details);
        ab::AddressBook::useBook(book);
        m_application->loadAllContact();
    }

    std::shared_ptr<PeopleListViewController> openPicker(std::shared_ptr<TouchImageView> picture = nullptr,
        std::shared_ptr<PeopleListViewControllerDelegate> delegate = nullptr)
    {
        auto picker = PeopleListViewController::create(ui::TableViewStyle::Grouped);
        picker->setReference(fnd::String::create("1"));
        picker->setTouchImage(std::move(picture));
        picker->setDelegate(delegate);
        picker->view();
        return picker;
    }

    // The board with the picker over it, as a tap on a placeholder shows them.
    std::shared_ptr<PeopleListViewController> presentPicker(std::shared_ptr<TouchImageView> picture,
        std::shared_ptr<PeopleListViewControllerDelegate> delegate = nullptr)
    {
        if (!m_board) {
            m_board = showBoard();
            m_application->setViewController(m_board);
            m_placeholder = m_board->mainTouchImageView()->children().front();
        }
        auto picker = openPicker(picture == m_noPicture ? nullptr : picture ? picture : m_placeholder, std::move(delegate));
        m_board->presentViewController(ui::NavigationController::createWithRootViewController(picker), true);
        runUntilIdle();
        return picker;
    }

    static void pick(PeopleListViewController& picker, ui::IndexPath indexPath) { picker.didSelectRowAtIndexPath(*picker.tableView(), indexPath); }

    static std::vector<std::string> sections(PeopleListViewController& picker)
    {
        std::vector<std::string> sections;
        auto& table = *picker.tableView();
        for (int section = 0; section < picker.numberOfSectionsInTableView(table); ++section) {
            std::string names = picker.titleForHeaderInSection(table, section).value_or("?") + ":";
            for (int row = 0; row < picker.numberOfRowsInSection(table, section); ++row)
                names += " " + picker.recordForRowAtIndexPath({ section, row })->compositeName();
            sections.push_back(names);
        }
        return sections;
    }

    static void search(PeopleListViewController& picker, const std::string& text)
    {
        picker.searchBar()->setText(text);
        picker.searchDisplayController()->searchTextChanged(text);
    }

    static std::shared_ptr<TDBadgedCell> cell(PeopleListViewController& picker, ui::IndexPath indexPath)
    {
        return std::dynamic_pointer_cast<TDBadgedCell>(picker.cellForRowAtIndexPath(*picker.tableView(), indexPath));
    }

    bool pickerShown() const { return m_board->presentedViewController() != nullptr; }

    std::shared_ptr<BrenzoAppDelegate> m_application = BrenzoAppDelegate::create();
    std::shared_ptr<BrenzoViewController> m_board;
    std::shared_ptr<TouchImageView> m_placeholder;
    const std::shared_ptr<TouchImageView> m_noPicture = TouchImageView::create();
};

TEST_F(PeopleListTest, SectionsFollowTheOrderInWhichTheirLettersFirstAppear)
{
    load({ { std::nullopt, "élan" }, { "Bob", std::nullopt }, { std::nullopt, "apple" } });
    auto picker = openPicker();
    // The loader lists apple, Bob, élan: the accented letter goes under "-", and nothing is sorted again.
    EXPECT_EQ(sections(*picker), (std::vector<std::string> { "A: apple", "B: Bob", "-: élan" }));
    EXPECT_EQ(picker->sectionIndexTitlesForTableView(*picker->tableView()), (std::vector<std::string> { "A", "B", "-" }));
    EXPECT_EQ(picker->heightForRowAtIndexPath(*picker->tableView(), { 0, 0 }), 40);

    load({ { "Bob", std::nullopt }, { std::nullopt, std::nullopt } });
    EXPECT_EQ(sections(*openPicker()), (std::vector<std::string> { "U: Unknown", "B: Bob" }));
    load({});
    EXPECT_TRUE(sections(*openPicker()).empty());
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
    EXPECT_EQ(sections(*picker), (std::vector<std::string> { "A: Adams Anna Allen Carl", "B: Brown Bert Brown Bert Baker Dora" }));
    EXPECT_EQ(picker->recordForRowAtIndexPath({ 1, 1 })->phone(), "2");
    EXPECT_FALSE(picker->recordForRowAtIndexPath({ 0, 2 }));
}

TEST_F(PeopleListTest, SearchIgnoresCaseAndAccentsAndCancellingShowsEverythingAgain)
{
    load({ { "Joël", "Martin" }, { "John", "Smith" }, { "Alice", "Appleton" } });
    auto picker = openPicker();
    picker->searchDisplayController()->setActive(true);
    EXPECT_TRUE(m_log.contains("searchDisplayControllerDidBeginSearch"));

    search(*picker, "joel");
    EXPECT_EQ(sections(*picker), std::vector<std::string> { "M: Martin Joël" });
    EXPECT_EQ(picker->searchDisplayController()->searchResultsTableView()->numberOfRowsInSection(0), 1);
    search(*picker, "SMITH");
    EXPECT_EQ(sections(*picker), std::vector<std::string> { "S: Smith John" });
    search(*picker, "");
    EXPECT_TRUE(sections(*picker).empty());

    search(*picker, "o");
    picker->searchDisplayController()->searchBarCancelled();
    EXPECT_FALSE(picker->isShowingSearchResults());
    EXPECT_EQ(sections(*picker), (std::vector<std::string> { "A: Appleton Alice", "M: Martin Joël", "S: Smith John" }));
}

TEST_F(PeopleListTest, RowsShowTheNameInColouredPartsThePhoneAndALabelBadge)
{
    load({ { "John", "Smith", std::nullopt,
               { { ab::PhoneLabel::mobile, "06 12" }, { ab::PhoneLabel::iPhone, "07" }, { ab::PhoneLabel::work, "08" }, { ab::PhoneLabel::home, "09" } },
               solidPicture({ 64, 64 }, { 1, 0, 0 })->pngRepresentation() },
        { std::nullopt, "Young" }, { std::nullopt, std::nullopt, "Acme" } });
    auto picker = openPicker();
    // Sections: "A" (Acme), "S" (Smith John's four numbers), "Y".
    auto row = cell(*picker, { 1, 0 });
    EXPECT_EQ(row->textLabel()->text(), "John Smith");
    EXPECT_EQ(row->textLabel()->textColor().alpha, 0);
    std::vector<std::string> parts;
    for (auto& part : row->multipartLabel()->labels())
        parts.push_back(fnd::format("%@ %.0f%.0f%.0f", part->text(), part->textColor().red, part->textColor().green, part->textColor().blue));
    EXPECT_EQ(parts, (std::vector<std::string> { "John 000", "  110", "Smith 001" }));
    EXPECT_EQ(row->detailTextLabel()->text(), "06 12");
    EXPECT_EQ(row->badgeString(), "mobile");
    EXPECT_EQ(row->badgeColor(), mobileGreen);
    EXPECT_EQ(row->imageView()->image()->size(), (gfx::Size { 160, 160 }));

    EXPECT_EQ(cell(*picker, { 1, 1 })->badgeColor(), (gfx::Color { 1, 0.8, 10.0 / 255, 1 }));
    EXPECT_EQ(cell(*picker, { 1, 2 })->badgeColor(), (gfx::Color { 0.792, 0.197, 0.219, 1 }));
    EXPECT_EQ(cell(*picker, { 1, 3 })->badgeColor(), (gfx::Color { 45.0 / 255, 65.0 / 255, 239.0 / 255, 1 }));
    for (ui::IndexPath single : { ui::IndexPath { 0, 0 }, ui::IndexPath { 2, 0 } }) {
        auto singleName = cell(*picker, single);
        auto& labels = singleName->multipartLabel()->labels();
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0]->textColor(), (gfx::Color { 0, 0, 1, 1 }));
    }
    EXPECT_FALSE(cell(*picker, { 2, 0 })->imageView()->image());
}

TEST_F(PeopleListTest, APickTurnsThePictureIntoTheContactsPictureAndSavesTheBoard)
{
    load({ { "John", "Smith", std::nullopt, { { ab::PhoneLabel::mobile, "06 12 34 56 78" } }, solidPicture({ 64, 64 }, { 0, 0, 1 })->pngRepresentation() } });
    auto picker = presentPicker(nullptr);
    pick(*picker, { 0, 0 });
    EXPECT_EQ(m_placeholder->type(), "tel");
    EXPECT_EQ(m_placeholder->parameters(), "tel:0612345678");
    EXPECT_EQ(m_placeholder->badgeString(), "mobile");
    EXPECT_EQ(m_placeholder->badgeColor(), mobileGreen);
    EXPECT_EQ(m_placeholder->title(), "Smith John");
    EXPECT_EQ(m_placeholder->id(), m_application->allContact()->front()->contact()->recordId());
    EXPECT_EQ(m_placeholder->imageName(), "image001.png");
    EXPECT_FALSE(m_placeholder->badge()->isHidden());

    auto written = gfx::Image::createWithContentsOfFile(documents() / "image001.png");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), (gfx::Size { 180, 180 }));
    EXPECT_EQ(written->pixelAt(90, 90), pixelOf({ 0, 0, 1 }));
    auto board = boardFileText().value_or("");
    EXPECT_NE(board.find("<parameters>tel:0612345678</parameters>"), std::string::npos);
    EXPECT_NE(board.find("color=\"0.176471,0.949020,0.549020,1.000000\""), std::string::npos);
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
}

TEST_F(PeopleListTest, PickingTheAlreadyChosenEntryOnlyDeselectsTheRow)
{
    load({ { "John", "Smith" } });
    auto picker = presentPicker(nullptr);
    picker->setSelectedIndex(0);
    picker->tableView()->selectRowAtIndexPath(ui::IndexPath { 0, 0 }, false, ui::TableViewScrollPosition::None);
    pick(*picker, { 0, 0 });
    runUntilIdle();
    EXPECT_FALSE(picker->tableView()->indexPathForSelectedRow());
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));
    EXPECT_TRUE(pickerShown());
}

TEST_F(PeopleListTest, WithADelegateThePickGoesToTheDelegateAndThePictureStaysAsItWas)
{
    load({ { "John", "Smith", std::nullopt, { { ab::PhoneLabel::work, "01 45 67" } } } });
    auto delegate = std::make_shared<RecordingDelegate>();
    pick(*presentPicker(nullptr, delegate), { 0, 0 });
    EXPECT_EQ(delegate->calls, std::vector<std::string> { "-1 Smith John 014567 1 180" });
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
}

TEST_F(PeopleListTest, TrashTurnsThePictureBackIntoAPlaceholderAndCancelOnlyCloses)
{
    load({ { "John", "Smith" } });
    pick(*presentPicker(nullptr), { 0, 0 });
    runUntilIdle();
    ASSERT_EQ(m_placeholder->type(), "tel");

    presentPicker(nullptr)->navigationItem()->leftBarButtonItem()->press();
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
    EXPECT_EQ(m_placeholder->type(), "tel");

    presentPicker(nullptr)->navigationItem()->rightBarButtonItem()->press();
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_EQ(m_placeholder->title(), "");
    EXPECT_TRUE(m_placeholder->badge()->isHidden());
    EXPECT_EQ(boardFileText().value_or("").find("image001.png"), std::string::npos);
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
}

TEST_F(PeopleListTest, PickAndTrashWithoutAPictureChangeNothingAndStillClose)
{
    load({ { "John", "Smith" } });
    pick(*presentPicker(m_noPicture), { 0, 0 });
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));

    auto before = boardFileText();
    presentPicker(m_noPicture)->navigationItem()->rightBarButtonItem()->press();
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
    EXPECT_EQ(boardFileText(), before);
}

TEST_F(PeopleListTest, APictureFileThatCannotBeWrittenLeavesThePictureAsItWas)
{
    load({ { "John", "Smith" } });
    auto picker = presentPicker(nullptr);
    // The documents folder becomes a plain file: nothing can be written into it.
    auto folder = documents();
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way";

    pick(*picker, { 0, 0 });
    EXPECT_TRUE(m_log.contains("picture image001.png not written"));
    EXPECT_EQ(m_placeholder->type(), "unknown");
    EXPECT_EQ(m_placeholder->imageName(), "contact-placeholder.png");
    runUntilIdle();
    EXPECT_FALSE(pickerShown());
}

TEST_F(PeopleListTest, TheScreenWaitsForTheContactListWithoutSpinning)
{
    auto book = ab::AddressBook::createEmpty();
    book->addPerson(Person("John", "Smith").details);
    ab::AddressBook::useBook(book);
    ASSERT_FALSE(m_application->allContact());

    std::thread loader([&] {
        while (m_log.count("waiting") < 3)
            std::this_thread::yield();
        m_application->loadAllContact();
    });
    auto picker = openPicker();
    loader.join();
    EXPECT_EQ(sections(*picker), std::vector<std::string> { "S: Smith John" });
    // A look every few hundredths of a second, not thousands.
    EXPECT_LE(m_log.count("waiting"), 6u);
}

}
