#include "BoardTest.h"

#include "board/PeopleListViewController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/ui/Event.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "support/LoopbackServer.h"

#include <algorithm>

namespace brenzo::testing {

namespace {

// Every character 5 points wide, lines 12 points high: badge and title sizes are easy to read.
class FivePointMeasurer final : public gfx::TextMeasurer {
public:
    double widthOfText(std::string_view text, const gfx::Font&) const override { return 5.0 * double(text.size()); }
    double lineHeight(const gfx::Font&) const override { return 12; }
    double ascent(const gfx::Font&) const override { return 10; }
};

size_t countOf(const std::vector<std::string>& lines, std::string_view fragment)
{
    return size_t(std::count_if(lines.begin(), lines.end(), [&](auto& line) { return line.find(fragment) != std::string::npos; }));
}

}

class TouchImageViewTest : public BoardTest {
protected:
    void SetUp() override
    {
        board = showBoard();
        auto photo = gfx::Image::createWithContentsOfFile(std::string(BRENZO_SOURCE_DIR) + "/resources/contact-withoutphoto.png");
        ASSERT_TRUE(photo);
        board->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*board, photo, -1, "Smith John", "06 12 34 56 78", nullptr);
        contact = board->mainTouchImageView()->children().back();
        runUntilIdle();
        m_effects.clear();
        m_log.clear();
    }

    std::shared_ptr<ui::Touch> touchWithTapCount(const TouchImageView& picture, unsigned tapCount, uint64_t identifier)
    {
        auto touch = std::make_shared<ui::Touch>(identifier, screenPointOf(picture), 0, tapCount);
        touch->setTargets(m_window, std::const_pointer_cast<TouchImageView>(picture.sharedAs<TouchImageView>()));
        return touch;
    }

    bool actionPending(const TouchImageView& picture) const { return fnd::RunLoop::main().hasPendingPerform(&picture, "launchAction"); }

    std::shared_ptr<PeopleListViewController> presentedPicker() const
    {
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(board->presentedViewController());
        if (!navigation)
            return nullptr;
        return std::dynamic_pointer_cast<PeopleListViewController>(navigation->topViewController());
    }

    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<TouchImageView> contact;
};

TEST_F(TouchImageViewTest, ASingleTapDimsThePictureAndCallsTheNumberFourTenthsOfASecondLater)
{
    auto point = screenPointOf(*contact);
    auto touch = m_touches.touchDown(point);
    EXPECT_DOUBLE_EQ(contact->alpha(), 0.5);
    m_touches.touchUp({ touch });
    EXPECT_DOUBLE_EQ(contact->alpha(), 1.0);

    advance(0.399);
    EXPECT_FALSE(m_effects.contains("opened URL"));
    advance(0.001);
    EXPECT_EQ(m_effects.lines(), std::vector<std::string> { "opened URL tel:0612345678" });
    EXPECT_TRUE(m_log.contains("type: tel"));
    EXPECT_TRUE(m_log.contains("opening tel:0612345678"));
    EXPECT_FALSE(board->presentedViewController());
}

TEST_F(TouchImageViewTest, ADoubleTapCancelsTheCallAndOpensThePickerForThePicture)
{
    m_touches.doubleTap(screenPointOf(*contact));
    auto picker = presentedPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->touchImage(), contact);
    EXPECT_FALSE(picker->delegate());
    EXPECT_EQ(picker->selectedIndex(), -1);
    EXPECT_EQ(fnd::descriptionOf(picker->reference()), "1");
    EXPECT_EQ(picker->tableViewStyle(), ui::TableViewStyle::Grouped);
    EXPECT_EQ(board->presentedViewController()->modalTransitionStyle(), ui::ModalTransitionStyle::FlipHorizontal);

    advance(1);
    EXPECT_FALSE(m_effects.contains("opened URL"));
}

TEST_F(TouchImageViewTest, ATripleTapOnlyFades)
{
    auto touch = touchWithTapCount(*contact, 3, 900);
    ui::TouchSet touches({ touch });
    contact->touchesBegan(touches, ui::Event(touches, 0));
    contact->touchesEnded(touches, ui::Event(touches, 0));
    EXPECT_DOUBLE_EQ(contact->alpha(), 1.0);
    EXPECT_FALSE(actionPending(*contact));
    advance(1);
    EXPECT_FALSE(m_effects.contains("opened URL"));
    EXPECT_FALSE(board->presentedViewController());
}

TEST_F(TouchImageViewTest, TwoFingersLiftingTogetherPlaceOneCall)
{
    ui::TouchSet touches({ touchWithTapCount(*contact, 1, 901), touchWithTapCount(*contact, 1, 902) });
    contact->touchesBegan(touches, ui::Event(touches, 0));
    contact->touchesEnded(touches, ui::Event(touches, 0));
    advance(0.5);
    EXPECT_EQ(countOf(m_effects.lines(), "opened URL"), 1u);
}

TEST_F(TouchImageViewTest, ACancelledTouchCountsAsAnEndedOne)
{
    auto touch = m_touches.touchDown(screenPointOf(*contact));
    m_touches.touchCancel({ touch });
    EXPECT_DOUBLE_EQ(contact->alpha(), 1.0);
    EXPECT_TRUE(actionPending(*contact));
}

TEST_F(TouchImageViewTest, TheBareBackgroundDimsWhileTouchedAndDoesNothing)
{
    auto background = board->mainTouchImageView();
    gfx::Point bare { 20, 440 };
    ASSERT_EQ(m_touches.hitView(bare), background);
    auto touch = m_touches.touchDown(bare);
    EXPECT_DOUBLE_EQ(background->alpha(), 0.5);
    m_touches.touchUp({ touch });
    EXPECT_DOUBLE_EQ(background->alpha(), 1.0);
    EXPECT_FALSE(actionPending(*background));
    advance(1);
    EXPECT_TRUE(m_effects.lines().empty());
    EXPECT_FALSE(board->presentedViewController());
}

TEST_F(TouchImageViewTest, ATapOnAPlaceholderOpensThePickerAfterTheDelay)
{
    auto placeholder = board->mainTouchImageView()->children()[3];
    m_touches.tap(screenPointOf(*placeholder));
    advance(0.399);
    EXPECT_FALSE(board->presentedViewController());
    advance(0.001);
    auto picker = presentedPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->touchImage(), placeholder);
    EXPECT_TRUE(m_log.contains("type: unknown"));
}

TEST_F(TouchImageViewTest, APictureRemovedBeforeItsActionDoesNothing)
{
    m_touches.tap(screenPointOf(*contact));
    board->mainTouchImageView()->removeChild(*contact);
    contact->removeFromSuperview();
    contact = nullptr;
    advance(1);
    EXPECT_FALSE(m_effects.contains("opened URL"));
}

TEST_F(TouchImageViewTest, AWebPictureFetchesItsAddressOffTheMainThreadAndLogsTheReply)
{
    LoopbackServer server;
    server.http().Get("/ping", [](const httplib::Request&, httplib::Response& response) { response.set_content("pong", "text/plain"); });
    server.http().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("gone", "text/plain");
    });
    // A long page whose cut falls inside a two-byte character.
    std::string page = std::string(fnd::Log::longestExcerpt - 1, 'a') + "\xC3\xA9" + std::string(20000, 'b');
    server.http().Get("/long", [page](const httplib::Request&, httplib::Response& response) { response.set_content(page, "text/plain"); });
    server.start();
    contact->setType(std::string(TouchImageView::webType));
    contact->setParameters(server.url("/ping"));

    contact->launchAction();
    EXPECT_TRUE(m_log.contains("opening " + server.url("/ping")));
    EXPECT_FALSE(m_log.contains("retour"));
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return m_log.contains("retour"); }, 10));
    EXPECT_TRUE(m_log.contains("retour: pong"));
    EXPECT_EQ(server.requestCount(), 1u);

    // The reply is logged whatever its status.
    contact->setParameters(server.url("/missing"));
    contact->launchAction();
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return m_log.count("retour") == 2; }, 10));
    EXPECT_TRUE(m_log.contains("retour: gone"));
    EXPECT_FALSE(m_effects.contains("opened URL"));

    // A long reply is cut in its log line.
    contact->setParameters(server.url("/long"));
    contact->launchAction();
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return m_log.count("retour") == 3; }, 10));
    auto lines = m_log.lines();
    auto logged = std::find_if(lines.begin(), lines.end(), [](auto& line) { return line.rfind("retour: a", 0) == 0; });
    ASSERT_NE(logged, lines.end());
    EXPECT_EQ(*logged, "retour: " + std::string(fnd::Log::longestExcerpt - 1, 'a') + "... (" + std::to_string(page.size()) + " bytes in all)");
}

TEST_F(TouchImageViewTest, AWebPictureLogsAnAbsentReplyWhenTheFetchFailsOrTheAddressIsNotTheWeb)
{
    contact->setType(std::string(TouchImageView::webType));
    contact->setParameters("http://127.0.0.1:1/");
    contact->launchAction();
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return m_log.contains("retour"); }, 20));
    EXPECT_EQ(countOf(m_log.lines(), "retour: (null)"), 1u);

    // Not the web: answered at once, nothing is loaded.
    contact->setParameters("file:///etc/passwd");
    contact->launchAction();
    EXPECT_EQ(countOf(m_log.lines(), "retour: (null)"), 2u);
}

TEST_F(TouchImageViewTest, SetDefaultTurnsAPictureIntoAPlaceholderWhereItIs)
{
    contact->setFrame({ 30, 40, 90, 120 });
    contact->setTitle("Smith John");
    contact->setBadgeString("mobile");
    contact->setBadgeColor(gfx::Color(0, 1, 0, 1));
    contact->setId(12);
    contact->layoutIfNeeded();
    EXPECT_FALSE(contact->labelView()->isHidden());
    EXPECT_FALSE(contact->badge()->isHidden());

    contact->setDefault();
    contact->layoutIfNeeded();
    EXPECT_EQ(contact->frame(), (gfx::Rect { 30, 40, 90, 90 }));
    EXPECT_EQ(contact->origSize(), (gfx::Rect { 30, 40, 90, 90 }));
    EXPECT_TRUE(contact->labelView()->isHidden());
    EXPECT_TRUE(contact->badge()->isHidden());
    EXPECT_EQ(contact->type(), "unknown");
    EXPECT_EQ(contact->imageName(), "contact-placeholder.png");
    EXPECT_EQ(contact->parameters(), "");
    EXPECT_EQ(contact->id(), 0);
    EXPECT_FALSE(contact->isMovable());
    EXPECT_EQ(contact->badgeColor(), gfx::Color(0, 1, 0, 1));
}

TEST_F(TouchImageViewTest, TheBadgeSitsInTheLowerRightCornerAndTheTitleIsCentredBelow)
{
    gfx::ScopedTextMeasurer measurer(std::make_shared<FivePointMeasurer>());
    contact->setFrame({ 0, 0, 90, 120 });
    contact->setBadgeString("work");
    contact->setTitle("Smith John");
    contact->layoutIfNeeded();

    // "work" is 20 points wide: a badge 25 wide whose right edge lies 5 points inside the picture.
    auto badge = contact->badge()->frame();
    EXPECT_EQ(badge, (gfx::Rect { 90 - 30, 120 - 18, 25, 12 }));
    EXPECT_EQ(badge.maxX(), 85);
    EXPECT_EQ(contact->badge()->badgeColor(), TouchImageView::defaultBadgeColor);
    EXPECT_EQ(contact->labelView()->frame(), (gfx::Rect { (90 - 50) / 2.0, 120, 50, 12 }));
    EXPECT_EQ(contact->labelView()->text(), "Smith John");

    contact->setBadgeString("");
    contact->layoutIfNeeded();
    EXPECT_TRUE(contact->badge()->isHidden());
}

}
