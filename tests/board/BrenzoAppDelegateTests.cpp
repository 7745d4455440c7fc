#include "BoardTest.h"

#include "board/BrenzoAppDelegate.h"
#include "board/FacebookLoginHandoff.h"
#include "board/RatingPrompt.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Application.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHKConfiguration.h"

#include <condition_variable>
#include <mutex>

namespace brenzo::testing {

namespace {

fnd::Ref<fnd::String> text(const char* value)
{
    return value ? fnd::String::create(value) : nullptr;
}

ab::PersonDetails person(const char* first, const char* last, const char* organization, std::vector<std::pair<std::string_view, const char*>> numbers)
{
    ab::PersonDetails details { text(first), text(last), text(organization), {}, nullptr, false };
    for (auto& [label, value] : numbers)
        details.phoneNumbers.push_back({ fnd::String::create(label), fnd::String::create(value) });
    return details;
}

std::vector<std::string> namesAndNumbers(const BrenzoAppDelegate::ContactList& list)
{
    std::vector<std::string> result;
    for (auto& record : list)
        result.push_back(record->compositeName() + " " + record->type().value_or("-") + " " + record->phone().value_or("-"));
    return result;
}

// Holds the contact loader between copying the people and reading them until released.
class LoaderLatch {
public:
    LoaderLatch()
        : m_handle(BrenzoAppDelegate::peopleCopiedHook().install([this](ab::AddressBook&) {
            std::unique_lock lock(m_lock);
            m_released.wait(lock, [this] { return m_open; });
        }))
    {
    }
    ~LoaderLatch()
    {
        release();
        BrenzoAppDelegate::peopleCopiedHook().uninstall(m_handle);
    }
    void release()
    {
        std::lock_guard guard(m_lock);
        m_open = true;
        m_released.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_released;
    bool m_open = false;
    rt::Hook<ab::AddressBook&>::Handle m_handle;
};

}

class BrenzoAppDelegateTest : public BoardTest {
protected:
    BrenzoAppDelegateTest() { SHKConfiguration::resetForTesting(); }
    ~BrenzoAppDelegateTest() override
    {
        fnd::Thread::waitForDetachedThreads(10);
        FacebookLoginHandoff::setHandler(nullptr);
        ab::AddressBook::setSortOrdering(ab::SortOrdering::LastNameFirst);
        SHKConfiguration::resetForTesting();
    }

    std::shared_ptr<const BrenzoAppDelegate::ContactList> load(const std::shared_ptr<ab::AddressBook>& book)
    {
        ab::AddressBook::useBook(book);
        auto delegate = BrenzoAppDelegate::create();
        delegate->loadAllContact();
        return delegate->allContact();
    }

    std::shared_ptr<BrenzoAppDelegate> launch()
    {
        auto delegate = BrenzoAppDelegate::create();
        ui::Application::shared().setDelegate(delegate);
        ui::Application::shared().finishLaunching();
        return delegate;
    }
};

TEST(FormatLabel, StandardLabelsLoseTheirWrappingAndEverythingButTheIPhoneLabelIsLowerCased)
{
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel(ab::PhoneLabel::mobile), "mobile");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel(ab::PhoneLabel::home), "home");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel(ab::PhoneLabel::workFax), "workfax");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel("Work"), "work");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel(ab::PhoneLabel::iPhone), "iPhone");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel("_$!<abcde"), "_$!<abcde");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel("_$!<ABCDE"), "_$!<abcde");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel("_$!<Büro>!$_"), "büro");
    EXPECT_EQ(BrenzoAppDelegate::_formatLabel(std::nullopt), std::nullopt);
}

TEST_F(BrenzoAppDelegateTest, TheLoaderListsEveryNumberOfEveryPersonInNameOrder)
{
    auto book = ab::AddressBook::createEmpty();
    book->addPerson(person("John", "Smith", nullptr, { { ab::PhoneLabel::mobile, "06 12 34 56 78" }, { ab::PhoneLabel::iPhone, "0611" }, { "Boat", "0622" } }));
    book->addPerson(person("Zoe", "Adams", nullptr, { { ab::PhoneLabel::work, "0144" } }));
    book->addPerson(person(nullptr, nullptr, "Acme", { { ab::PhoneLabel::main, "0800" } }));
    book->addPerson(person("No", "Number", nullptr, {}));
    book->addPerson(person("Al", "Brown", nullptr, { { ab::PhoneLabel::home, "0155" } }));

    auto list = load(book);
    ASSERT_TRUE(list);
    EXPECT_EQ(namesAndNumbers(*list), (std::vector<std::string> { "Acme main 0800", "Adams Zoe work 0144", "Brown Al home 0155",
                                          "Smith John mobile 06 12 34 56 78", "Smith John iPhone 0611", "Smith John boat 0622" }));
    auto& smith = (*list)[3];
    EXPECT_EQ(smith->firstName(), "John");
    EXPECT_EQ(smith->lastName(), "Smith");
    EXPECT_EQ(smith->organization(), std::nullopt);
    for (int position = 0; position < 3; ++position) {
        EXPECT_EQ((*list)[3 + position]->position(), position);
        EXPECT_EQ((*list)[3 + position]->contact(), smith->contact());
    }

    ab::AddressBook::setSortOrdering(ab::SortOrdering::FirstNameFirst);
    EXPECT_EQ(namesAndNumbers(*load(book))[1], "Brown Al home 0155");
}

TEST_F(BrenzoAppDelegateTest, AnEmptyOrUnopenableAddressBookStillPublishesAnEmptyList)
{
    auto list = load(ab::AddressBook::createEmpty());
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->empty());

    ab::AddressBook::useOpenFailure();
    auto delegate = BrenzoAppDelegate::create();
    delegate->loadAllContact();
    ASSERT_TRUE(delegate->allContact());
    EXPECT_TRUE(delegate->allContact()->empty());
    EXPECT_FALSE(delegate->addressBook());
    EXPECT_TRUE(m_log.contains("address book not opened"));
}

TEST_F(BrenzoAppDelegateTest, APersonWhoseNumbersCannotBeReadIsLoggedAndTheOthersLoad)
{
    auto book = ab::AddressBook::createEmpty();
    book->addPerson(person("Ann", "Able", nullptr, { { ab::PhoneLabel::mobile, "01" } }));
    auto broken = person("Bad", "Broken", nullptr, { { ab::PhoneLabel::mobile, "02" } });
    broken.phoneNumbersUnreadable = true;
    book->addPerson(broken);
    book->addPerson(person("Cy", "Cole", nullptr, { { ab::PhoneLabel::mobile, "03" } }));
    auto list = load(book);
    EXPECT_EQ(namesAndNumbers(*list), (std::vector<std::string> { "Able Ann mobile 01", "Cole Cy mobile 03" }));
    EXPECT_EQ(m_log.count("exception !"), 1u);
}

TEST_F(BrenzoAppDelegateTest, APersonRemovedWhileTheLoaderRunsIsSkipped)
{
    auto book = ab::AddressBook::createEmpty();
    book->addPerson(person("Ann", "Able", nullptr, { { ab::PhoneLabel::mobile, "01" } }));
    auto removed = book->addPerson(person("Bo", "Gone", nullptr, { { ab::PhoneLabel::mobile, "02" } }));
    auto handle = BrenzoAppDelegate::peopleCopiedHook().install([removed](ab::AddressBook& opened) { opened.removePerson(removed); });
    auto list = load(book);
    BrenzoAppDelegate::peopleCopiedHook().uninstall(handle);
    EXPECT_EQ(namesAndNumbers(*list), std::vector<std::string> { "Able Ann mobile 01" });
}

TEST_F(BrenzoAppDelegateTest, TheLaunchShowsTheBoardWhileTheContactsAreStillLoading)
{
    auto book = ab::AddressBook::createEmpty();
    book->addPerson(person("Ann", "Able", nullptr, { { ab::PhoneLabel::mobile, "01" } }));
    ab::AddressBook::useBook(book);
    LoaderLatch latch;

    auto delegate = launch();
    EXPECT_EQ(BrenzoAppDelegate::delegate(), delegate);
    EXPECT_FALSE(delegate->allContact());
    auto window = delegate->window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(window->frame(), (gfx::Rect { 0, 0, 320, 480 }));
    ASSERT_TRUE(delegate->viewController());
    EXPECT_EQ(delegate->viewController()->view()->superview(), window);
    EXPECT_TRUE(fnd::FileManager::fileExists(documents() / "main.xml"));

    latch.release();
    ASSERT_TRUE(fnd::Thread::waitForDetachedThreads(10));
    EXPECT_EQ(fnd::UserDefaults::standardUserDefaults()->integerForKey(RatingPrompt::useCountKey), 1);
    ASSERT_TRUE(delegate->allContact());
    EXPECT_EQ(delegate->allContact()->size(), 1u);
    EXPECT_EQ(delegate->addressBook(), book);
}

TEST_F(BrenzoAppDelegateTest, FacebookLoginReturnsGoToTheHandoffAndEveryOtherURLIsAnsweredYes)
{
    auto delegate = launch();
    std::vector<std::string> handed;
    bool answer = false;
    FacebookLoginHandoff::setHandler([&](const fnd::URL& url) {
        handed.push_back(url.absoluteString());
        return answer;
    });
    auto& application = ui::Application::shared();
    EXPECT_FALSE(application.handleIncomingURL(*fnd::URL::create("fb517390286044913://authorize#access_token=abc"), "com.facebook"));
    answer = true;
    EXPECT_TRUE(delegate->handleOpenURL(*fnd::URL::create("fb517390286044913suffix://authorize#access_token=abc")));
    EXPECT_TRUE(delegate->handleOpenURL(*fnd::URL::create("tel:0612345678")));
    EXPECT_TRUE(delegate->handleOpenURL(*fnd::URL::create("http://example.com/")));
    EXPECT_TRUE(delegate->handleOpenURL(*fnd::URL::create("fb123://authorize")));
    EXPECT_EQ(handed, (std::vector<std::string> { "fb517390286044913://authorize#access_token=abc", "fb517390286044913suffix://authorize#access_token=abc" }));

    FacebookLoginHandoff::setHandler(nullptr);
    EXPECT_FALSE(delegate->handleOpenURL(*fnd::URL::create("fb517390286044913://authorize")));
    EXPECT_TRUE(m_log.contains("no Facebook login waits for fb517390286044913://authorize"));
}

}
