#include "BoardTest.h"

#include "board/BrenzoLinks.h"
#include "platform/foundation/Bundle.h"
#include "platform/messaging/MessageComposeViewController.h"
#include "platform/security/Keychain.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/Toolbar.h"
#include "services/SHKRegisterServices.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/sharers/SHKRegisterSharers.h"
#include "sharing/ui/SHKActionSheet.h"

namespace brenzo::testing {

// The board with the application's sharing set up as the launch sets it up.
class ShareButtonTest : public BoardTest {
protected:
    void SetUp() override
    {
        sec::Keychain::setShared(sec::Keychain::createInMemory());
        SHKConfiguration::resetForTesting();
        SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<MySHKConfigurator>());
        SHKRegisterSharers();
        SHKRegisterServices();
        SHK::resetForTesting();
        board = showBoard();
    }

    void TearDown() override
    {
        SHK::resetForTesting();
        SHKConfiguration::resetForTesting();
        sec::Keychain::setShared(nullptr);
    }

    std::shared_ptr<SHKActionSheet> shownSheet() const
    {
        return std::dynamic_pointer_cast<SHKActionSheet>(ui::ModalPanelRegistry::shared().topmost());
    }

    std::shared_ptr<BrenzoViewController> board;
};

TEST_F(ShareButtonTest, TheShareButtonShowsTheSheetForTheStoreLinkFromTheMainToolBar)
{
    ASSERT_TRUE(board->mainToolBar()->items()[3]->press());

    EXPECT_EQ(SHK::currentHelper().rootViewController(), board);
    auto sheet = shownSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->className(), "SHKCustomActionSheet");
    EXPECT_EQ(sheet->shownFrom(), "toolbar");
    EXPECT_EQ(sheet->anchorRect(), board->mainToolBar()->convertRectToScreen(board->mainToolBar()->bounds()));
    ASSERT_EQ(sheet->numberOfButtons(), 5);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "Facebook");
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "Twitter");
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), "SMS");
    EXPECT_EQ(sheet->buttonTitleAtIndex(3), "More...");
    EXPECT_EQ(sheet->cancelButtonIndex(), 4);

    auto& item = sheet->item();
    ASSERT_TRUE(item && item->URL());
    EXPECT_EQ(item->shareType(), SHKShareTypeURL);
    EXPECT_EQ(item->URL()->absoluteString(), BrenzoLinks::storePageAddress);
    EXPECT_EQ(item->title(), std::string(BrenzoLinks::shareTitle));
    EXPECT_EQ(item->title()->front(), '"');

    // The text message opens over the board with the link as its body.
    ASSERT_TRUE(sheet->pressButtonWithTitle("SMS"));
    runUntilIdle();
    auto composer = std::dynamic_pointer_cast<msg::MessageComposeViewController>(board->presentedViewController());
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->body(), BrenzoLinks::storePageAddress);
    EXPECT_FALSE(sheet->isVisible());

    composer->finishWithResult(msg::MessageComposeResult::Cancelled);
    runUntilIdle();
    EXPECT_FALSE(board->presentedViewController());
}

}
