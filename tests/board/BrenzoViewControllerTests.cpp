#include "BoardTest.h"

#include "board/BoardFile.h"
#include "board/EditTouchImageViewController.h"
#include "board/PeopleListViewController.h"
#include "board/StandInViewController.h"
#include "platform/foundation/FileManager.h"
#include "platform/graphics/ImageContext.h"
#include "platform/messaging/MailComposeViewController.h"
#include "platform/ui/BarButtonItem.h"
#include "support/ScopedFileSizeLimit.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Toolbar.h"

namespace brenzo::testing {

namespace {

fnd::Ref<gfx::Image> photoOfSize(double width, double height)
{
    auto context = gfx::ImageContext::create({ width, height }, true, 1);
    context->setFillColor({ 0.2, 0.6, 0.3, 1 });
    context->fillRect({ 0, 0, width, height });
    return context->image();
}

}

class BrenzoViewControllerTest : public BoardTest {
protected:
    void SetUp() override
    {
        board = showBoard();
        background = board->mainTouchImageView();
    }

    std::shared_ptr<TouchImageView> addContact(const std::string& phone = "06 12 34 56 78")
    {
        board->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*board, photoOfSize(180, 240), -1, "Smith John", phone, nullptr);
        return background->children().back();
    }

    std::shared_ptr<BrenzoViewController> board;
    std::shared_ptr<TouchImageView> background;
};

TEST_F(BrenzoViewControllerTest, TheDefaultBoardIsABackgroundAndTwelvePlaceholdersInFourRowsOfThree)
{
    EXPECT_EQ(background->type(), "background");
    EXPECT_EQ(background->frame(), (gfx::Rect { 0, 0, 320, 460 }));
    EXPECT_FALSE(background->parent());
    auto& children = background->children();
    ASSERT_EQ(children.size(), 12u);
    for (size_t index = 0; index < children.size(); ++index) {
        auto& child = children[index];
        EXPECT_EQ(child->center(), (gfx::Point { 55.0 + 105 * double(index % 3), 48.0 + 108 * double(index / 3) })) << index;
        EXPECT_EQ(child->parent(), background);
        EXPECT_EQ(child->boardController(), board);
        EXPECT_EQ(child->type(), "unknown");
        EXPECT_FALSE(child->isMovable());
    }
    // Bottom to top: background, the pictures in board order, the edit bar, the main bar.
    auto& subviews = board->view()->subviews();
    ASSERT_EQ(subviews.size(), 15u);
    EXPECT_EQ(subviews[0], background);
    EXPECT_EQ(subviews[12], children[11]);
    EXPECT_EQ(subviews[13], board->editToolBar());
    EXPECT_EQ(subviews[14], board->mainToolBar());
}

TEST_F(BrenzoViewControllerTest, TheMainToolBarOffersRatingMailAndSharingAndTheEditToolBarWaitsHidden)
{
    auto& main = board->mainToolBar();
    EXPECT_EQ(main->frame(), (gfx::Rect { 0, 436, 320, 24 }));
    EXPECT_FALSE(main->isHidden());
    EXPECT_EQ(main->barStyle(), ui::BarStyle::Black);
    EXPECT_TRUE(main->isTranslucent());
    auto& items = main->items();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0]->systemItem(), ui::BarButtonSystemItem::FlexibleSpace);
    auto heart = std::dynamic_pointer_cast<ui::Button>(items[1]->customView());
    ASSERT_TRUE(heart);
    EXPECT_EQ(heart->bounds().size, (gfx::Size { 20, 20 }));
    EXPECT_EQ(heart->actionsForTargetForControlEvent(board.get(), ui::ControlEvent::TouchUpInside), std::vector<std::string> { "rateAction:" });
    EXPECT_EQ(items[2]->systemItem(), ui::BarButtonSystemItem::Compose);
    EXPECT_EQ(items[2]->action().name(), "mailAction:");
    EXPECT_EQ(items[3]->systemItem(), ui::BarButtonSystemItem::Action);
    EXPECT_EQ(items[3]->action().name(), "wifiAction:");

    auto& edit = board->editToolBar();
    EXPECT_TRUE(edit->isHidden());
    EXPECT_EQ(edit->frame(), (gfx::Rect { 0, 416, 320, 44 }));
    std::vector<std::string> actions;
    for (auto& item : edit->items())
        actions.push_back(item->action().name());
    EXPECT_EQ(actions, (std::vector<std::string> { "cancelAction:", "addContactButtonAction:", "deleteAction:", "", "saveXML:" }));
    EXPECT_EQ(edit->items()[2], board->deleteButton());
    EXPECT_FALSE(board->deleteButton()->isEnabled());
    EXPECT_FALSE(board->editMode());
    EXPECT_TRUE(fnd::FileManager::fileExists(documents() / "main.xml"));
}

TEST_F(BrenzoViewControllerTest, SelectionDrawsARedBorderAndEnablesDeleteOnlyForPicturesWithAParent)
{
    board->setSelectedTouchImage(background);
    EXPECT_EQ(background->layer().borderWidth(), 2);
    EXPECT_EQ(background->layer().borderColor(), gfx::Color(1, 0, 0, 1));
    EXPECT_FALSE(board->deleteButton()->isEnabled());

    auto picture = background->children()[4];
    board->setSelectedTouchImage(picture);
    EXPECT_EQ(background->layer().borderWidth(), 0);
    EXPECT_EQ(picture->layer().borderWidth(), 2);
    EXPECT_TRUE(board->deleteButton()->isEnabled());

    board->setSelectedTouchImage(nullptr);
    EXPECT_EQ(picture->layer().borderWidth(), 0);
    EXPECT_FALSE(board->deleteButton()->isEnabled());
    EXPECT_FALSE(board->selectedTouchImage());
}

TEST_F(BrenzoViewControllerTest, EditModeSwapsTheToolBarsAndCancelKeepsWhatChanged)
{
    board->editAction(nullptr);
    EXPECT_TRUE(board->editMode());
    EXPECT_TRUE(board->mainToolBar()->isHidden());
    EXPECT_FALSE(board->editToolBar()->isHidden());

    auto saved = boardFileText();
    auto picture = background->children()[0];
    board->setSelectedTouchImage(picture);
    picture->setCenter({ 200, 300 });
    board->cancelAction(nullptr);
    EXPECT_FALSE(board->editMode());
    EXPECT_FALSE(board->mainToolBar()->isHidden());
    EXPECT_TRUE(board->editToolBar()->isHidden());
    EXPECT_FALSE(board->selectedTouchImage());
    EXPECT_EQ(picture->center(), (gfx::Point { 200, 300 }));
    EXPECT_EQ(boardFileText(), saved);

    ASSERT_TRUE(board->editToolBar()->items()[4]->press());
    EXPECT_NE(boardFileText()->find("<center x=\"200.000000\" y=\"300.000000\">"), std::string::npos);
}

TEST_F(BrenzoViewControllerTest, DeleteRemovesTheSelectedPictureFromTheViewAndTheBoardWithoutSaving)
{
    board->deleteAction(nullptr);
    EXPECT_EQ(background->children().size(), 12u);

    auto saved = boardFileText();
    std::weak_ptr<TouchImageView> picture = background->children()[5];
    board->setSelectedTouchImage(picture.lock());
    board->deleteAction(nullptr);
    EXPECT_FALSE(board->selectedTouchImage());
    EXPECT_FALSE(board->deleteButton()->isEnabled());
    EXPECT_EQ(background->children().size(), 11u);
    EXPECT_EQ(board->view()->subviews().size(), 14u);
    // Nothing else holds the picture once it has left the board.
    EXPECT_TRUE(picture.expired());
    EXPECT_EQ(boardFileText(), saved);
}

TEST_F(BrenzoViewControllerTest, APickedContactBecomesANewCallingPictureAboveTheBoard)
{
    auto picture = addContact("06 12 34 56 78");
    EXPECT_EQ(background->children().size(), 13u);
    EXPECT_EQ(picture->type(), "tel");
    EXPECT_EQ(picture->parameters(), "tel:0612345678");
    EXPECT_EQ(picture->frame(), (gfx::Rect { 115, 25, 90, 120 }));
    EXPECT_EQ(picture->center(), (gfx::Point { 160, 85 }));
    EXPECT_EQ(picture->origSize(), (gfx::Rect { 0, 0, 90, 120 }));
    EXPECT_EQ(picture->imageName(), "image001.png");
    EXPECT_EQ(picture->title(), std::nullopt);
    EXPECT_EQ(picture->id(), 0);
    EXPECT_TRUE(picture->isMovable());
    EXPECT_EQ(picture->parent(), background);
    EXPECT_EQ(board->view()->subviews().back(), picture);
    auto written = gfx::Image::createWithContentsOfFile(documents() / "image001.png");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), (gfx::Size { 180, 240 }));
    EXPECT_EQ(boardFileText()->find("image001.png"), std::string::npos);

    EXPECT_EQ(addContact()->imageName(), "image002.png");
}

TEST_F(BrenzoViewControllerTest, APhotoFromTheLibraryBecomesAPictureWithoutAnAction)
{
    board->addImageButtonAction(nullptr);
    auto picker = std::dynamic_pointer_cast<ui::ImagePickerController>(board->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->sourceType(), ui::ImagePickerSourceType::PhotoLibrary);
    EXPECT_FALSE(picker->allowsEditing());
    EXPECT_EQ(picker->modalPresentationStyle(), ui::ModalPresentationStyle::FormSheet);
    runUntilIdle();
    picker->cancel();
    runUntilIdle();
    EXPECT_FALSE(board->presentedViewController());
    EXPECT_EQ(background->children().size(), 12u);

    board->addImageButtonAction(nullptr);
    runUntilIdle();
    picker = std::dynamic_pointer_cast<ui::ImagePickerController>(board->presentedViewController());
    ASSERT_TRUE(picker);
    picker->pickImage(photoOfSize(180, 240), "beach.png");
    runUntilIdle();
    EXPECT_FALSE(board->presentedViewController());
    EXPECT_TRUE(m_log.contains("didFinishPickingMediaWithInfo"));
    ASSERT_EQ(background->children().size(), 13u);
    auto picture = background->children().back();
    EXPECT_EQ(picture->frame(), (gfx::Rect { 115, 25, 90, 120 }));
    EXPECT_EQ(picture->type(), std::nullopt);
    EXPECT_EQ(picture->parameters(), std::nullopt);
    EXPECT_TRUE(picture->isMovable());
    EXPECT_EQ(picture->imageName(), "image001.png");
    EXPECT_TRUE(fnd::FileManager::fileExists(documents() / "image001.png"));
}

TEST_F(BrenzoViewControllerTest, TheEditToolBarOpensThePickerWithTheBoardAsItsDelegate)
{
    board->addContactButtonAction(nullptr);
    auto picker = std::dynamic_pointer_cast<PeopleListViewController>(board->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->delegate().get(), static_cast<PeopleListViewControllerDelegate*>(board.get()));
    EXPECT_FALSE(picker->touchImage());
    EXPECT_EQ(picker->selectedIndex(), -1);

    runUntilIdle();
    board->dismissSettingsView();
    runUntilIdle();
    EXPECT_FALSE(board->presentedViewController());
}

TEST_F(BrenzoViewControllerTest, AnEditModeDoubleTapOpensThePictureSettingsInATabBar)
{
    auto picture = addContact();
    board->editAction(nullptr);
    m_touches.doubleTap(screenPointOf(*picture));
    auto tabs = std::dynamic_pointer_cast<ui::TabBarController>(board->presentedViewController());
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->modalTransitionStyle(), ui::ModalTransitionStyle::FlipHorizontal);
    ASSERT_EQ(tabs->viewControllers().size(), 1u);
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(tabs->viewControllers()[0]);
    ASSERT_TRUE(navigation);
    auto settings = std::dynamic_pointer_cast<EditTouchImageViewController>(navigation->topViewController());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->touchImage(), picture);
}

TEST_F(BrenzoViewControllerTest, TheFeedbackMailGoesToTheMakerAndIsDismissedWhateverItsResult)
{
    msg::MailComposeViewController::setCanSendMail(true);
    board->mainToolBar()->items()[2]->press();
    auto composer = std::dynamic_pointer_cast<msg::MailComposeViewController>(board->presentedViewController());
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->toRecipients(), std::vector<std::string> { "feedback@brenzo.example.com" });
    EXPECT_EQ(composer->subject(), "Comments about Brenzo");
    runUntilIdle();
    composer->finishWithResult(msg::MailComposeResult::Cancelled);
    runUntilIdle();
    EXPECT_FALSE(board->presentedViewController());
    EXPECT_FALSE(m_log.contains("It's away!"));

    board->mailAction(nullptr);
    runUntilIdle();
    composer = std::dynamic_pointer_cast<msg::MailComposeViewController>(board->presentedViewController());
    ASSERT_TRUE(composer);
    composer->finishWithResult(msg::MailComposeResult::Sent);
    runUntilIdle();
    EXPECT_FALSE(board->presentedViewController());
    EXPECT_TRUE(m_log.contains("It's away!"));

    msg::MailComposeViewController::setCanSendMail(false);
    board->mailAction(nullptr);
    EXPECT_FALSE(board->presentedViewController());
    msg::MailComposeViewController::setCanSendMail(true);
}

TEST_F(BrenzoViewControllerTest, TheHeartOpensTheReviewPage)
{
    std::dynamic_pointer_cast<ui::Button>(board->mainToolBar()->items()[1]->customView())->press();
    EXPECT_TRUE(m_effects.contains("opened URL https://store.example.com/apps/100000001/write-review"));
}

TEST_F(BrenzoViewControllerTest, AContactWhosePictureCannotBeWrittenIsNotAddedAndTheUserIsTold)
{
    auto before = background->children().size();
    {
        ScopedFileSizeLimit limit(16);
        board->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*board, photoOfSize(180, 240), -1, "Smith John",
            "06 12 34 56 78", nullptr);
    }
    EXPECT_EQ(background->children().size(), before);
    EXPECT_FALSE(fnd::FileManager::fileExists(documents() / "image001.png"));
    EXPECT_TRUE(m_effects.contains("alert \"Picture Not Saved\""));
    board->saveXML();
    EXPECT_EQ(boardFileText()->find("image001.png"), std::string::npos);
}

TEST_F(BrenzoViewControllerTest, APhotoFarLargerThanTheScreenIsKeptScaledDown)
{
    board->peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(*board, photoOfSize(3000, 2000), -1, "Smith John",
        "06 12 34 56 78", nullptr);
    auto picture = background->children().back();
    EXPECT_EQ(picture->image()->size(), (gfx::Size { 1024, 683 }));
    auto written = gfx::Image::createWithContentsOfFile(documents() / "image001.png");
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), picture->image()->size());
    // Its place on the board is what the full photo gave.
    EXPECT_EQ(picture->frame().width(), 90);
    EXPECT_NEAR(picture->frame().height(), 60, 0.1);
}

}
