#include "BoardTest.h"

#include "board/RatingPrompt.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/network/Reachability.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryDirectory.h"

#include <fstream>
#include <thread>

namespace brenzo::testing {

namespace {

constexpr double day = 86400;
constexpr std::string_view reviewPage = "https://store.example.com/apps/100000001/write-review";

}

class RatingPromptTest : public BoardTest {
protected:
    RatingPromptTest()
    {
        m_testPage.http().Get("/", [](const httplib::Request&, httplib::Response& response) { response.set_content("ok", "text/plain"); });
        m_testPage.start();
        RatingPrompt::setConnectionTestAddress(m_testPage.url("/"));
        RatingPrompt::sharedInstance()->setRatingAlert(nullptr);
        net::Reachability::setOverride(net::ReachabilityFlag::Reachable);
    }

    ~RatingPromptTest() override
    {
        fnd::Thread::waitForDetachedThreads(10);
        // A load cut off by the next test's fresh run loop would never let its connection go.
        EXPECT_TRUE(fnd::RunLoop::main().runUntil([] { return RatingPrompt::sharedInstance()->connectionTestsInProgress() == 0; }, 10));
        net::Reachability::clearOverride();
        RatingPrompt::setConnectionTestAddress({});
        RatingPrompt::sharedInstance()->setRatingAlert(nullptr);
        fnd::Bundle::setMain(nullptr);
    }

    // One launch as the application makes it: counted on its thread, then the main loop's turn.
    void launch(int times = 1, bool canPrompt = true)
    {
        for (int count = 0; count < times; ++count) {
            RatingPrompt::appLaunched(canPrompt);
            ASSERT_TRUE(fnd::Thread::waitForDetachedThreads(10));
            runUntilIdle();
        }
    }

    void passTime(double seconds) { m_time.clock().advanceBy(seconds); }

    // Twenty launches fifteen days ago: the next launch may prompt.
    void useForFifteenDays()
    {
        launch(1);
        passTime(15 * day);
        launch(19);
        ASSERT_FALSE(shownAlert());
    }

    std::shared_ptr<ui::AlertView> shownAlert() const
    {
        return std::dynamic_pointer_cast<ui::AlertView>(ui::ModalPanelRegistry::shared().topmost());
    }

    // A bundle like the application's with another version.
    void installBundleWithVersion(const std::string& version)
    {
        std::ofstream(m_bundleFolder.path() / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>CFBundleName</key><string>Brenzo</string>"
               "<key>CFBundleVersion</key><string>"
            << version << "</string></dict></plist>\n";
        fnd::Bundle::setMain(fnd::Bundle::createWithPath(m_bundleFolder.path()));
    }

    fnd::UserDefaults& defaults() { return *fnd::UserDefaults::standardUserDefaults(); }
    double now() const { return fnd::Clock::current().now(); }

    LoopbackServer m_testPage;
    TemporaryDirectory m_bundleFolder;
};

TEST_F(RatingPromptTest, TheFirstLaunchStoresTheVersionAndTheFirstUseAndPromptsNothing)
{
    launch();

    EXPECT_EQ(defaults().stringForKey(RatingPrompt::currentVersionKey), "1.0");
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::firstUseDateKey), now());
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 1);
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::significantEventCountKey), 0);
    EXPECT_FALSE(shownAlert());
    // Counted on disk, not only in memory.
    auto stored = fnd::UserDefaults::createWithFile(fnd::UserDefaults::standardFilePath());
    EXPECT_EQ(stored->integerForKey(RatingPrompt::useCountKey), 1);
}

TEST_F(RatingPromptTest, TheTwentyFirstLaunchFifteenDaysOnAsksWithTheBundleNameAndThreeChoices)
{
    useForFifteenDays();
    EXPECT_EQ(m_testPage.requestCount(), 0u);

    launch();

    auto alert = shownAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Rate Brenzo");
    EXPECT_EQ(alert->message(),
        "If you enjoy using Brenzo, would you mind taking a moment to rate it? It won't take more than a minute. Thanks for your support!");
    ASSERT_EQ(alert->numberOfButtons(), 3);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "No, Thanks");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "Rate Brenzo");
    EXPECT_EQ(alert->buttonTitleAtIndex(2), "Remind me later");
    EXPECT_EQ(RatingPrompt::sharedInstance()->ratingAlert(), alert);
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 21);

    // The connection test loaded its page from this machine.
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return m_testPage.requestCount() > 0; }, 10));
    EXPECT_EQ(m_testPage.lastRequest()->method, "GET");
}

TEST_F(RatingPromptTest, FifteenDaysAndTwentyOneLaunchesAreBothNeeded)
{
    launch(1);
    passTime(15 * day - 1);
    launch(25);
    EXPECT_FALSE(shownAlert()) << "a second short of fifteen days";

    passTime(1);
    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, TwentyLaunchesOverThirtyDaysDoNotPromptButTheTwentyFirstDoes)
{
    for (int count = 0; count < 20; ++count) {
        launch();
        passTime(1.5 * day);
    }
    EXPECT_FALSE(shownAlert());

    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, RemindMeLaterWaitsADay)
{
    useForFifteenDays();
    launch();
    ASSERT_TRUE(shownAlert()->pressButtonWithTitle("Remind me later"));
    runUntilIdle();
    EXPECT_FALSE(shownAlert());
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::reminderRequestDateKey), now());

    passTime(day - 1);
    launch(3);
    EXPECT_FALSE(shownAlert());

    passTime(1);
    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, NoThanksNeverAsksAgainForThisVersionButANewVersionCountsAfresh)
{
    useForFifteenDays();
    launch();
    ASSERT_TRUE(shownAlert()->pressButtonWithTitle("No, Thanks"));
    runUntilIdle();
    EXPECT_TRUE(defaults().boolForKey(RatingPrompt::declinedToRateKey));

    passTime(100 * day);
    launch(30);
    EXPECT_FALSE(shownAlert());

    installBundleWithVersion("1.1");
    launch();
    EXPECT_EQ(defaults().stringForKey(RatingPrompt::currentVersionKey), "1.1");
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 1);
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::firstUseDateKey), now());
    EXPECT_FALSE(defaults().boolForKey(RatingPrompt::declinedToRateKey));
    EXPECT_FALSE(defaults().boolForKey(RatingPrompt::ratedCurrentVersionKey));
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::reminderRequestDateKey), 0);

    passTime(15 * day);
    launch(19);
    EXPECT_FALSE(shownAlert());
    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, RatingOpensTheReviewPageAndMarksTheVersionRated)
{
    EXPECT_EQ(RatingPrompt::reviewPageAddress(), reviewPage);

    useForFifteenDays();
    launch();
    ASSERT_TRUE(shownAlert()->pressButtonWithTitle("Rate Brenzo"));
    runUntilIdle();

    EXPECT_EQ(ui::Application::shared().openedURLs(), std::vector<std::string> { std::string(reviewPage) });
    EXPECT_TRUE(defaults().boolForKey(RatingPrompt::ratedCurrentVersionKey));
    launch(5);
    EXPECT_FALSE(shownAlert());
}

TEST_F(RatingPromptTest, TheHeartButtonRatesEvenWhenTheStoreCannotBeOpened)
{
    ui::Application::shared().setCanOpenScheme("https", false);
    RatingPrompt::rateApp();

    EXPECT_EQ(ui::Application::shared().openedURLs(), std::vector<std::string> { std::string(reviewPage) });
    EXPECT_TRUE(defaults().boolForKey(RatingPrompt::ratedCurrentVersionKey));
}

TEST_F(RatingPromptTest, ResigningActiveHidesTheAlertWithoutRecordingAChoice)
{
    ui::Application::shared().becomeActive();
    useForFifteenDays();
    launch();
    ASSERT_TRUE(shownAlert());

    ui::Application::shared().resignActive();
    runUntilIdle();

    EXPECT_FALSE(shownAlert());
    EXPECT_FALSE(defaults().boolForKey(RatingPrompt::declinedToRateKey));
    EXPECT_FALSE(defaults().boolForKey(RatingPrompt::ratedCurrentVersionKey));
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::reminderRequestDateKey), 0);
    EXPECT_TRUE(ui::Application::shared().openedURLs().empty());

    // Asked again at the next launch.
    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, UnreadableReachabilityLogsAndPromptsNothingButStillCounts)
{
    useForFifteenDays();
    net::Reachability::setOverrideUnreadable();

    launch();

    EXPECT_TRUE(m_log.contains("Error. Could not recover network reachability flags"));
    EXPECT_FALSE(shownAlert());
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 21);
}

TEST_F(RatingPromptTest, OnlyAUsableConnectionPrompts)
{
    useForFifteenDays();

    net::Reachability::setOverride(net::ReachabilityFlags());
    launch();
    net::Reachability::setOverride(net::ReachabilityFlag::Reachable | net::ReachabilityFlag::ConnectionRequired);
    launch();
    EXPECT_FALSE(shownAlert());
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 22);
    EXPECT_FALSE(m_log.contains("Error. Could not recover network reachability flags"));

    net::Reachability::setOverride(net::ReachabilityFlag::TransientConnection);
    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, TheMachinesOwnNetworkIsAskedWithoutBlockingOrFailing)
{
    useForFifteenDays();
    net::Reachability::clearOverride();

    launch();

    // Prompted or not, as this machine's routes say: the count went through and the thread ended.
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 21);
}

TEST_F(RatingPromptTest, ALaunchThatMayNotPromptOnlyCounts)
{
    useForFifteenDays();
    launch(1, false);
    EXPECT_FALSE(shownAlert());
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 21);
    launch();
    EXPECT_TRUE(shownAlert());
}

TEST_F(RatingPromptTest, TwoPromptingCountsShowOneAlert)
{
    useForFifteenDays();
    RatingPrompt::appLaunched();
    RatingPrompt::appEnteredForeground(true);
    ASSERT_TRUE(fnd::Thread::waitForDetachedThreads(10));
    runUntilIdle();

    EXPECT_EQ(ui::ModalPanelRegistry::shared().panels().size(), 1u);
    ui::Application::shared().becomeActive();
    ui::Application::shared().resignActive();
    EXPECT_TRUE(ui::ModalPanelRegistry::shared().panels().empty());
}

TEST_F(RatingPromptTest, SignificantEventsCountBesideLaunchesAndStartANewVersionWithoutAUse)
{
    launch();
    RatingPrompt::userDidSignificantEvent(false);
    ASSERT_TRUE(fnd::Thread::waitForDetachedThreads(10));
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::significantEventCountKey), 1);
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 1);

    installBundleWithVersion("2.0");
    passTime(day);
    RatingPrompt::userDidSignificantEvent(true);
    ASSERT_TRUE(fnd::Thread::waitForDetachedThreads(10));
    EXPECT_EQ(defaults().stringForKey(RatingPrompt::currentVersionKey), "2.0");
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::firstUseDateKey), 0);
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 0);
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::significantEventCountKey), 1);

    // The next launch dates the first use.
    launch();
    EXPECT_EQ(defaults().doubleForKey(RatingPrompt::firstUseDateKey), now());
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), 1);
}

TEST_F(RatingPromptTest, CountingThreadsRunningTogetherLoseNoCount)
{
    constexpr int countsOfEachKind = 40;
    for (int count = 0; count < countsOfEachKind; ++count) {
        RatingPrompt::appLaunched(false);
        RatingPrompt::userDidSignificantEvent(false);
    }
    ASSERT_TRUE(fnd::Thread::waitForDetachedThreads(30));

    EXPECT_EQ(defaults().integerForKey(RatingPrompt::useCountKey), countsOfEachKind);
    EXPECT_EQ(defaults().integerForKey(RatingPrompt::significantEventCountKey), countsOfEachKind);
}

TEST_F(RatingPromptTest, TheSharedInstanceIsOneWhicheverThreadAsksFirst)
{
    std::vector<std::shared_ptr<RatingPrompt>> answers(8);
    std::vector<std::thread> threads;
    for (auto& answer : answers)
        threads.emplace_back([&answer] { answer = RatingPrompt::sharedInstance(); });
    for (auto& thread : threads)
        thread.join();
    for (auto& answer : answers)
        EXPECT_EQ(answer, RatingPrompt::sharedInstance());
}

}
