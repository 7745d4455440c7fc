#include "UITest.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/OperationTable.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/ApplicationMain.h"
#include "platform/ui/Button.h"
#include "platform/ui/Effects.h"
#include "platform/ui/Label.h"
#include "platform/ui/TerminalDriver.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TouchSet.h"
#include "platform/ui/Toolbar.h"
#include "support/TemporaryHome.h"

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace brenzo::testing {

namespace {

// A small application: a "Greet" button that calls a number, a tool bar whose compose item reports
// after 0.4 seconds, and a list loaded by a worker thread at launch.
class TestDelegate final : public ui::ApplicationDelegate, public std::enable_shared_from_this<TestDelegate> {
public:
    void applicationDidFinishLaunching(ui::Application&) override
    {
        m_window = ui::Window::create();
        m_window->setBackgroundColor(gfx::Color::white());
        auto button = ui::Button::create(ui::ButtonType::RoundedRect);
        button->setTitle("Greet");
        button->setFrame({ 110, 80, 100, 40 });
        button->addTargetActionForControlEvents(ui::Action("greet", [](const fnd::Id&) {
            ui::Application::shared().openURL(*fnd::URL::create("tel:0612345678"));
        }),
            ui::ControlEvent::TouchUpInside);
        m_window->addSubview(button);

        auto toolbar = ui::Toolbar::create({ 0, 436, 320, 44 });
        toolbar->setItems({ ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::FlexibleSpace),
            ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Compose, ui::Action("compose:", [](const fnd::Id&) {
                fnd::RunLoop::main().performAfterDelay(0.4, [] { ui::Effects::report("composed"); });
            })) });
        auto trash = ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Trash);
        trash->setEnabled(false);
        auto items = toolbar->items();
        items.push_back(trash);
        toolbar->setItems(items);
        m_window->addSubview(toolbar);
        m_window->makeKeyAndVisible();

        fnd::Thread::detach("loader", [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            fnd::RunLoop::main().post([] { ui::Effects::report("loaded"); });
        });
    }

    bool applicationHandleOpenURL(ui::Application&, const fnd::URL& url) override
    {
        ui::Effects::report("incoming " + url.absoluteString());
        return true;
    }

private:
    std::shared_ptr<ui::Window> m_window;
};

// Reports what its fingers and its keyboard do as effects.
class GestureView final : public ui::View, public ui::TextInput {
public:
    using View::View;
    bool canBecomeFirstResponder() const override { return true; }
    void touchesBegan(const ui::TouchSet& touches, const ui::Event& event) override
    {
        ui::Effects::report("began " + std::to_string(touches.count()) + " tap " + std::to_string(touches.anyObject()->tapCount()) + " of "
            + std::to_string(event.allTouches().count()));
    }
    void touchesMoved(const ui::TouchSet& touches, const ui::Event&) override { moves += int(touches.count()); }
    void touchesEnded(const ui::TouchSet& touches, const ui::Event&) override
    {
        auto location = touches.anyObject()->locationInView(this);
        ui::Effects::report("ended " + std::to_string(touches.count()) + " after " + std::to_string(moves) + " moves at "
            + std::to_string(int(location.x)) + "," + std::to_string(int(location.y)));
        moves = 0;
    }
    void insertText(std::string_view text) override
    {
        if (text != "\n") {
            ui::Effects::report("typed \"" + std::string(text) + "\"");
            return;
        }
        ui::Effects::report("return");
        resignFirstResponder();
    }
    void deleteBackward() override { }
    bool hasText() const override { return false; }

private:
    int moves = 0;
};

// A screen that answers one operation by name, saying which screen it is.
class NamedScreen final : public ui::ViewController {
public:
    explicit NamedScreen(std::string name)
        : m_name(std::move(name))
    {
        rt::OperationTable::shared().add<NamedScreen>("TerminalNamedScreen", "greet:", &NamedScreen::greet);
    }
    std::string_view className() const override { return "TerminalNamedScreen"; }
    void greet(const fnd::Id& sender) { ui::Effects::report("greeted " + m_name + (sender.get() == this ? " by itself" : "")); }

private:
    std::string m_name;
};

class TerminalDriverTest : public UITest {
protected:
    void launch()
    {
        auto& application = ui::Application::shared();
        application.setDelegate(std::make_shared<TestDelegate>());
        application.finishLaunching();
        runUntilIdle();
    }

    // Every script runs on the one terminal, which listens from the start, so nothing the launch
    // reports is lost however slowly the machine goes.
    std::vector<std::string> run(const std::string& script)
    {
        std::istringstream input(script);
        status = terminal.runScript(input);
        std::vector<std::string> lines;
        std::istringstream printed(output.str());
        for (std::string line; std::getline(printed, line);)
            lines.push_back(line);
        output.str({});
        return lines;
    }

    // Runs ApplicationMain on the command line's words (the program's name first) with its standard
    // output captured into `printed`; answers the exit status.
    static int runMain(std::vector<std::string> arguments, std::string_view delegateClassName, std::string& printed)
    {
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        std::ostringstream captured;
        auto* previous = std::cout.rdbuf(captured.rdbuf());
        int result = ui::ApplicationMain(int(argv.size()), argv.data(), delegateClassName);
        std::cout.rdbuf(previous);
        printed = captured.str();
        return result;
    }

    ~TerminalDriverTest() override { fnd::Thread::waitForDetachedThreads(10); }

    TemporaryDirectory directory;
    std::ostringstream output;
    ui::TerminalDriver terminal { output };
    int status = -1;
};

TEST_F(TerminalDriverTest, AScriptDrivesTheDeviceAndPrintsWhatHappensOutsideTheScreen)
{
    launch();
    auto shot = (directory.path() / "shot.png").string();
    auto lines = run("# taps, presses and time\n"
                     "tap 160 100\n"
                     "press \"compose\"\n"
                     "wait 0.39\n"
                     "press \"Greet\"\n"
                     "wait 0.01\n"
                     "open-url fb123://authorize#token=x\n"
                     "screenshot "
        + shot
        + "\n"
          "quit\n"
          "press \"Greet\"\n");
    // The worker's result comes at the latest with the first wait, before the delayed compose.
    auto loaded = std::find(lines.begin(), lines.end(), "loaded");
    ASSERT_NE(loaded, lines.end());
    EXPECT_LT(loaded - lines.begin(), 3);
    lines.erase(loaded);
    EXPECT_EQ(lines, (std::vector<std::string> { "opened URL tel:0612345678", "opened URL tel:0612345678", "composed",
                         "incoming fb123://authorize#token=x", "application accepted URL fb123://authorize#token=x", "screenshot " + shot }));
    EXPECT_EQ(status, 0);

    auto image = gfx::Image::createWithContentsOfFile(shot);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (gfx::Size { 320, 480 }));
    EXPECT_EQ(pixelAtPoint(*image, 5, 200), (gfx::Pixel { 255, 255, 255, 255 }));
}

TEST_F(TerminalDriverTest, MistakesAreReportedWithTheirLineAndTheSessionGoesOn)
{
    launch();
    auto lines = run("wait 0\n"
                     "fly away\n"
                     "tap 12\n"
                     "tap x 12\n"
                     "\n"
                     "press \"Nothing here\"\n"
                     "press \"trash\"\n"
                     "press \"unterminated\n"
                     "wait -1\n"
                     "open-url not a url\n"
                     "screenshot /nonexistent-folder/shot.png\n"
                     "press \"Greet\"\n");
    ASSERT_EQ(lines.size(), 11u) << ::testing::PrintToString(lines);
    // The worker's result arrives with the first wait.
    EXPECT_EQ(lines[0], "loaded");
    EXPECT_EQ(lines[1], "error: line 2: unknown command \"fly\"");
    EXPECT_EQ(lines[2], "error: line 3: usage: tap X Y");
    EXPECT_EQ(lines[3], "error: line 4: \"x\" is not a number");
    EXPECT_EQ(lines[4], "error: line 6: nothing to press for \"Nothing here\"");
    EXPECT_EQ(lines[5], "error: line 7: bar item \"trash\" is disabled");
    EXPECT_EQ(lines[6], "error: line 8: unterminated quote");
    EXPECT_EQ(lines[7], "error: line 9: cannot wait a negative time");
    EXPECT_EQ(lines[8], "error: line 10: usage: open-url URL");
    EXPECT_EQ(lines[9].rfind("error: line 11: could not write \"/nonexistent-folder/shot.png\"", 0), 0u) << lines[9];
    EXPECT_EQ(lines[10], "opened URL tel:0612345678");
    EXPECT_EQ(status, 1);
}

// A worker's result that starts a timer must meet the same clock whether it comes in at once or
// while the next command is already waiting: the outcome of a script never hangs on real time.
TEST_F(TerminalDriverTest, AResultOnItsWayLandsBeforeTheWaitMovesTheClock)
{
    launch();
    run("wait 0\n");
    for (int delay : { 0, 200 }) {
        auto button = ui::Button::create(ui::ButtonType::RoundedRect);
        button->setTitle("Fetch");
        button->setFrame({ 110, 200, 100, 40 });
        button->addTargetActionForControlEvents(ui::Action("fetch", [delay](const fnd::Id&) {
            fnd::Thread::detach("fetcher", [delay] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                fnd::RunLoop::main().post([] {
                    ui::Effects::report("fetched");
                    fnd::RunLoop::main().performAfterDelay(0.6, [] { ui::Effects::report("shown and hidden"); });
                });
            });
        }),
            ui::ControlEvent::TouchUpInside);
        ui::Application::shared().keyWindow()->addSubview(button);

        EXPECT_EQ(run("press \"Fetch\"\nwait 1\n"), (std::vector<std::string> { "fetched", "shown and hidden" })) << "delay " << delay;
        EXPECT_EQ(run("press \"Fetch\"\nwait 0\nwait 0.5\n"), std::vector<std::string> { "fetched" }) << "delay " << delay;
        run("wait 1\n");
        button->removeFromSuperview();
    }
}

TEST_F(TerminalDriverTest, TheTreeShowsEveryWindowAndView)
{
    launch();
    auto lines = run("tree\n");
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Window (0, 0, 320, 480)");
    EXPECT_EQ(lines[1], "  Button (110, 80, 100, 40) title=\"Greet\"");
    EXPECT_EQ(lines[2].rfind("    ImageView (", 0), 0u);
    EXPECT_EQ(lines[4], "  Toolbar (0, 436, 320, 44) style=0");
    auto compose = std::find_if(lines.begin(), lines.end(), [](auto& line) { return line.find("item=\"compose\" action=compose:") != std::string::npos; });
    EXPECT_NE(compose, lines.end());
}

TEST_F(TerminalDriverTest, GesturesAndTypingReachTheViews)
{
    auto window = makeKeyWindow();
    auto view = std::make_shared<GestureView>(gfx::Rect { 0, 20, 320, 460 });
    view->setMultipleTouchEnabled(true);
    window->addSubview(view);
    auto lines = run("double-tap 100 120\n"
                     "drag 10 30 110 80 4\n"
                     "pinch 160 240 20 100 2\n"
                     "type \"nobody\"\n"
                     "tree\n");
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), (std::vector<std::string> {
                                                                              "began 1 tap 1 of 1",
                                                                              "ended 1 after 0 moves at 100,100",
                                                                              "began 1 tap 2 of 1",
                                                                              "ended 1 after 0 moves at 100,100",
                                                                              "began 1 tap 1 of 1",
                                                                              "ended 1 after 4 moves at 110,60",
                                                                              "began 2 tap 1 of 2",
                                                                              "ended 2 after 4 moves at 110,220",
                                                                              "error: line 4: nothing takes typed text (no text field is being edited)",
                                                                          }));

    ASSERT_TRUE(view->becomeFirstResponder());
    lines = run("type \"Joe\\nDoe\"\n");
    // The line feed is the return key; after it nobody edits, so the rest goes nowhere.
    EXPECT_EQ(lines, (std::vector<std::string> { "typed \"Joe\"", "return" }));
}

TEST_F(TerminalDriverTest, SendReachesTheFrontScreenByOperationNameAndNamesWhatItHasOtherwise)
{
    auto window = makeKeyWindow();
    EXPECT_EQ(run("send greet:\n"), (std::vector<std::string> { "error: line 1: no screen to send \"greet:\" to" }));

    auto board = std::make_shared<NamedScreen>("board");
    window->setRootViewController(board);
    auto settings = std::make_shared<NamedScreen>("settings");
    auto lines = run("send greet:\n");
    board->presentViewController(settings, false);
    runUntilIdle();
    auto more = run("send greet:\nsend frobnicate:\nsend\n");
    lines.insert(lines.end(), more.begin(), more.end());
    EXPECT_EQ(lines, (std::vector<std::string> {
                         "greeted board by itself",
                         "greeted settings by itself",
                         "error: line 2: TerminalNamedScreen has no operation \"frobnicate:\" (it has: greet:)",
                         "error: line 3: usage: send OPERATION",
                     }));
    EXPECT_EQ(status, 1);
}

TEST_F(TerminalDriverTest, ARotationTurnsTwoFingersAroundThePoint)
{
    auto window = makeKeyWindow();
    auto view = std::make_shared<GestureView>(gfx::Rect { 0, 20, 320, 460 });
    view->setMultipleTouchEnabled(true);
    window->addSubview(view);
    // A quarter turn clockwise: the fingers start left and right of the centre and end above and
    // below it.
    auto lines = run("rotate 160 240 90 3\n");
    ASSERT_EQ(lines.size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0], "began 2 tap 1 of 2");
    auto ended = lines[1];
    EXPECT_EQ(ended.rfind("ended 2 after 6 moves at 160,", 0), 0u) << ended;
    EXPECT_EQ(run("rotate 160 240 inf\nrotate 160 240 45 0\n"),
        (std::vector<std::string> { "error: line 1: \"inf\" is not a finite number", "error: line 2: STEPS must be a whole number from 1 to 10000" }));
}

TEST_F(TerminalDriverTest, APreFilledFieldIsCorrectedByDeletingAndClearing)
{
    auto window = makeKeyWindow();
    auto field = ui::TextField::create({ 10, 40, 300, 30 });
    field->setText("Joe Smiht");
    window->addSubview(field);
    ASSERT_TRUE(field->becomeFirstResponder());
    auto lines = run("delete 2\ntype \"th\"\n");
    EXPECT_EQ(field->text(), "Joe Smith");
    lines = run("delete\ndelete 0\ndelete 2.5\nclear\ntype \"Ann\"\ndelete 99\ndelete\n");
    EXPECT_EQ(lines, (std::vector<std::string> { "error: line 2: COUNT must be a whole number from 1 to 10000",
                         "error: line 3: COUNT must be a whole number from 1 to 10000" }));
    EXPECT_EQ(field->text(), "");
    field->resignFirstResponder();
    EXPECT_EQ(run("clear\n"), (std::vector<std::string> { "error: line 1: nothing takes typed text (no text field is being edited)" }));
}

TEST_F(TerminalDriverTest, NumbersThatCannotBeCarriedOutAreRefusedAndQuitTakesNoWords)
{
    launch();
    auto lines = run("tap nan 10\n"
                     "tap 10 -inf\n"
                     "drag 1 2 3 4 10001\n"
                     "pinch 160 240 10 100 1e300\n"
                     "drag 1 2 3 4 1e999\n"
                     "wait 1e300\n"
                     "quit now\n"
                     "press \"Greet\"\n"
                     "quit\n"
                     "press \"Greet\"\n");
    std::erase(lines, "loaded");
    EXPECT_EQ(lines, (std::vector<std::string> {
                         "error: line 1: \"nan\" is not a finite number",
                         "error: line 2: \"-inf\" is not a finite number",
                         "error: line 3: STEPS must be a whole number from 1 to 10000",
                         "error: line 4: STEPS must be a whole number from 1 to 10000",
                         "error: line 5: \"1e999\" is not a number",
                         "error: line 6: cannot wait more than 31622400 seconds at once",
                         "error: line 7: usage: quit",
                         "opened URL tel:0612345678",
                     }));
    EXPECT_EQ(status, 1);
}

TEST_F(TerminalDriverTest, HelpListsEveryCommand)
{
    auto lines = run("help\n");
    EXPECT_EQ(lines, ui::TerminalDriver::helpLines());
    for (auto command : { "tap X Y", "double-tap", "drag", "pinch", "rotate X Y DEGREES [STEPS]", "press", "type", "clear", "delete [COUNT]",
             "wait", "send OPERATION", "open-url", "screenshot", "tree", "help", "quit" }) {
        auto found = std::find_if(lines.begin(), lines.end(), [&](auto& line) { return line.rfind(command, 0) == 0; });
        EXPECT_NE(found, lines.end()) << command;
    }
    EXPECT_EQ(status, 0);
}

// Shows an alert as it launches, as a rating prompt may.
class AlertAtLaunchDelegate final : public ui::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(ui::Application&) override
    {
        m_window = ui::Window::create();
        m_window->makeKeyAndVisible();
        ui::AlertView::create("Rate Us", "Enjoying it?\nTell us.", nullptr, "No, Thanks", { "Rate" })->show();
    }

private:
    std::shared_ptr<ui::Window> m_window;
};

TEST_F(TerminalDriverTest, AnAlertShownAtLaunchIsPrintedOnOneLine)
{
    TemporaryHome home;
    rt::ClassRegistry::shared().registerClass<ui::ApplicationDelegate>("AlertAtLaunchDelegate", [] { return std::make_shared<AlertAtLaunchDelegate>(); });
    auto scriptPath = directory.path() / "script.txt";
    std::ofstream(scriptPath) << "press \"Rate\"\nquit\n";
    std::string printed;
    int result = runMain({ "brenzo", "--home", home.path().string(), "--script", scriptPath.string(), "--date", "2027-01-15" }, "AlertAtLaunchDelegate", printed);
    rt::ClassRegistry::shared().unregisterClass("AlertAtLaunchDelegate");

    EXPECT_EQ(result, 0);
    EXPECT_EQ(printed, "alert \"Rate Us\" \"Enjoying it?\\nTell us.\" [No, Thanks] [Rate]\n");
    // The script's clock started on the given day.
    EXPECT_GE(fnd::Clock::current().now(), 1799971200.0);
    EXPECT_LT(fnd::Clock::current().now(), 1799971200.0 + 60);
}

TEST(TerminalWords, QuotesGroupWordsAndTakeEscapes)
{
    auto words = ui::TerminalDriver::splitWords("press  \"Say \\\"hi\\\"\\n\" tail");
    ASSERT_TRUE(words);
    EXPECT_EQ(*words, (std::vector<std::string> { "press", "Say \"hi\"\n", "tail" }));
    EXPECT_FALSE(ui::TerminalDriver::splitWords("type \"open"));
    EXPECT_EQ(ui::TerminalDriver::splitWords("   ")->size(), 0u);
}

// Runs the whole device: the command line, the delegate by class name, a script file.
TEST_F(TerminalDriverTest, ApplicationMainRunsAScriptAgainstADelegateMadeByName)
{
    TemporaryHome home;
    rt::ClassRegistry::shared().registerClass<ui::ApplicationDelegate>("TerminalTestDelegate", [] { return std::make_shared<TestDelegate>(); });
    auto scriptPath = directory.path() / "script.txt";
    std::ofstream(scriptPath) << "press \"Greet\"\nwait 1\nquit\n";
    std::vector<std::string> arguments { "brenzo", "--home", home.path().string(), "--script", scriptPath.string(), "--scale", "2" };
    std::string printed;
    int result = runMain(arguments, "TerminalTestDelegate", printed);

    EXPECT_EQ(result, 0);
    // The worker may finish during the launch or after the press: the terminal prints it either way.
    EXPECT_TRUE(printed == "opened URL tel:0612345678\nloaded\n" || printed == "loaded\nopened URL tel:0612345678\n") << printed;
    EXPECT_FALSE(ui::Application::shared().isActive());

    arguments[1] = "brenzo";
    EXPECT_EQ(runMain(arguments, "TerminalTestDelegate", printed), 2);
    rt::ClassRegistry::shared().unregisterClass("TerminalTestDelegate");
    EXPECT_EQ(runMain({ "brenzo" }, "NoSuchDelegate", printed), 1);
}

}

}
