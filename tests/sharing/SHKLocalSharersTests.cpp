#include "SharingScreenTest.h"
#include "ShareChoiceTestSupport.h"

#include "platform/device/Pasteboard.h"
#include "platform/device/PrintInteractionController.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/String.h"
#include "platform/messaging/MailComposeViewController.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/View.h"
#include "sharing/sharers/SHKCopy.h"
#include "sharing/sharers/SHKLogout.h"
#include "sharing/sharers/SHKPhotoAlbum.h"
#include "sharing/sharers/SHKPrint.h"
#include "sharing/sharers/SHKRegisterSharers.h"
#include "sharing/sharers/SHKSafari.h"
#include "sharing/ui/SHKActivityIndicator.h"
#include "sharing/ui/SHKCustomShareMenu.h"

#include <fstream>

namespace brenzo::testing {

namespace {

const std::vector<std::string> localSharers { "SHKMail", "SHKTextMessage", "SHKCopy", "SHKPrint", "SHKSafari", "SHKPhotoAlbum", "SHKLogout" };

std::string completedMessage()
{
    auto& indicator = SHKActivityIndicator::currentIndicator();
    auto& label = indicator.subMessageLabel();
    return indicator.centerMessageLabel() && label ? label->text() : std::string();
}

std::string fileStart(const std::filesystem::path& path, size_t length)
{
    std::ifstream file(path, std::ios::binary);
    std::string start(length, '\0');
    file.read(start.data(), static_cast<std::streamsize>(length));
    return start;
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (auto& entry : std::filesystem::directory_iterator(folder, error))
        files.push_back(entry.path());
    return files;
}

}

class SHKLocalSharerTest : public SharingScreenTest {
protected:
    SHKLocalSharerTest()
    {
        SHKRegisterSharers();
        device::Pasteboard::generalPasteboard().clear();
    }

    ~SHKLocalSharerTest() override
    {
        device::PrintInteractionController::setPrintingAvailable(true);
        msg::MailComposeViewController::setCanSendMail(true);
        device::Pasteboard::generalPasteboard().clear();
    }

    template<typename Sharer>
    std::shared_ptr<Sharer> share(fnd::Ref<SHKItem> item)
    {
        auto sharer = SHKSharer::create<Sharer>();
        sharer->setItem(std::move(item));
        sharer->setShareDelegate(m_reports);
        sharer->share();
        return sharer;
    }

    // The titles the share menu offers as actions for the item.
    static std::vector<std::string> offeredActions(fnd::Ref<SHKItem> item)
    {
        auto menu = SHKCustomShareMenu::create(ui::TableViewStyle::Grouped);
        menu->setItem(std::move(item));
        std::vector<std::string> titles;
        for (auto& row : menu->tableData()[0])
            titles.push_back(row.name);
        return titles;
    }

    static fnd::Ref<SHKItem> linkItem() { return SHKItem::createWithURL(fnd::URL::create("https://example.org/brenzo?a=1"), std::string("Brenzo")); }

    std::shared_ptr<ReportRecorder> m_reports = std::make_shared<ReportRecorder>();
};

TEST_F(SHKLocalSharerTest, TheApplicationOffersEveryRegisteredLocalSharerAsAnAction)
{
    auto offered = fnd::as<fnd::Dictionary>(fnd::PropertyList::readFile(std::filesystem::path(BRENZO_SOURCE_DIR) / "resources" / "SHKSharers.plist"));
    ASSERT_TRUE(offered);
    auto actions = offered->objectForKeyAs<fnd::Array>("actions");
    ASSERT_TRUE(actions);
    std::vector<std::string> ids;
    for (auto& id : *actions)
        ids.push_back(fnd::as<fnd::String>(id)->utf8());
    EXPECT_EQ(ids, localSharers);
    for (auto& id : ids)
        EXPECT_TRUE(SHKSharerClass::named(id)) << id;
}

TEST_F(SHKLocalSharerTest, EachKindOfItemIsOfferedTheActionsThatCanShareItOnThisDevice)
{
    OfferedServicesBundle offered(localSharers, {});
    auto file = SHKItem::createWithFile(fnd::Data::create(std::string_view("x")), std::string("x.txt"), std::string("text/plain"), std::nullopt);
    auto picture = SHKItem::createWithImage(solidImage(4, 4, 0, 0, 1));

    EXPECT_EQ(offeredActions(linkItem()), (std::vector<std::string> { "Email", "SMS", "Copy", "Open in Safari", "Logout" }));
    EXPECT_EQ(offeredActions(SHKItem::createWithText(std::string("hi"))), (std::vector<std::string> { "Email", "SMS", "Copy", "Logout" }));
    EXPECT_EQ(offeredActions(picture), (std::vector<std::string> { "Email", "Copy", "Print", "Save to Photo Album", "Logout" }));
    EXPECT_EQ(offeredActions(file), (std::vector<std::string> { "Email", "Logout" }));

    msg::MailComposeViewController::setCanSendMail(false);
    device::PrintInteractionController::setPrintingAvailable(false);
    EXPECT_EQ(offeredActions(picture), (std::vector<std::string> { "Copy", "Save to Photo Album", "Logout" }));
}

TEST_F(SHKLocalSharerTest, CopyPutsTheItemsLinkTextOrPictureOnThePasteboard)
{
    auto& pasteboard = device::Pasteboard::generalPasteboard();
    share<SHKCopy>(linkItem());
    EXPECT_EQ(pasteboard.string(), "https://example.org/brenzo?a=1");
    EXPECT_EQ(completedMessage(), "Copied!");

    share<SHKCopy>(SHKItem::createWithText(std::string("Some words")));
    EXPECT_EQ(pasteboard.string(), "Some words");

    auto picture = solidImage(5, 3, 0, 1, 0);
    share<SHKCopy>(SHKItem::createWithImage(picture));
    EXPECT_EQ(pasteboard.image(), picture);
    EXPECT_EQ(m_reports->reports, std::vector<std::string>(3, "finished"));
    EXPECT_TRUE(alertTexts().empty());
}

TEST_F(SHKLocalSharerTest, CopyOfAFileCopiesNothingButStillSaysCopied)
{
    auto& pasteboard = device::Pasteboard::generalPasteboard();
    long changes = pasteboard.changeCount();
    auto sharer = SHKSharer::create<SHKCopy>();
    sharer->setItem(SHKItem::createWithFile(fnd::Data::create(std::string_view("x")), std::string("x.txt"), std::string("text/plain"), std::nullopt));
    sharer->setShareDelegate(m_reports);
    EXPECT_TRUE(sharer->send());
    EXPECT_EQ(pasteboard.changeCount(), changes);
    EXPECT_EQ(completedMessage(), "Copied!");
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "finished" });
}

TEST_F(SHKLocalSharerTest, TheBrowserOpensTheLinkAndAFailureToOpenIsReported)
{
    auto& application = ui::Application::shared();
    share<SHKSafari>(linkItem());
    EXPECT_EQ(application.openedURLs(), std::vector<std::string> { "https://example.org/brenzo?a=1" });
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "finished" });

    share<SHKSafari>(SHKItem::createWithURL(fnd::URL::create("gopher://example.org/")));
    auto sharer = SHKSharer::create<SHKSafari>();
    sharer->setItem(SHKItem::create());
    sharer->setShareDelegate(m_reports);
    EXPECT_TRUE(sharer->send());
    EXPECT_EQ(m_reports->reports, (std::vector<std::string> { "finished", "failed", "failed" }));
    EXPECT_TRUE(alertTexts().empty());
}

TEST_F(SHKLocalSharerTest, TheAlbumGetsThePictureInPicturesAndSaysSavedOnlyOnceItIsThere)
{
    auto folder = ui::ImagePickerController::photoLibraryDirectory();
    auto picture = solidImage(6, 4, 1, 0, 0);
    share<SHKPhotoAlbum>(SHKItem::createWithImage(picture));
    auto saved = filesIn(folder);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].parent_path().filename(), "Pictures");
    auto reread = gfx::Image::createWithContentsOfFile(saved[0].string());
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->size(), picture->size());
    EXPECT_EQ(completedMessage(), "Saved!");
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "finished" });

    // An album that cannot be written: a file where its folder should be.
    SHKActivityIndicator::currentIndicator().resetForTesting();
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "in the way";
    share<SHKPhotoAlbum>(SHKItem::createWithImage(picture));
    ASSERT_EQ(m_reports->reports.size(), 2u);
    EXPECT_EQ(m_reports->reports[1].rfind("failed: ", 0), 0u) << m_reports->reports[1];
    EXPECT_NE(completedMessage(), "Saved!");
}

TEST_F(SHKLocalSharerTest, LogoutForgetsEveryOfferedServiceAndSaysSo)
{
    OfferedServicesBundle offered({ "First" }, { "Second", "Third" });
    RegisteredTestSharer first("First");
    RegisteredTestSharer second("Second");
    RegisteredTestSharer third("Third");
    TestSharerClass::logoutLog().clear();

    share<SHKLogout>(linkItem());
    EXPECT_EQ(TestSharerClass::logoutLog(), (std::vector<std::string> { "Second", "Third" }));
    EXPECT_EQ(completedMessage(), "Logged Out!");
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "finished" });
}

TEST_F(SHKLocalSharerTest, PrintWritesAPDFOfThePictureAndACancelIsAFailureWithoutAnError)
{
    auto controller = device::PrintInteractionController::sharedPrintController();
    auto picture = solidImage(40, 30, 0, 0.5, 0);
    std::weak_ptr<SHKPrint> sharer = share<SHKPrint>(SHKItem::createWithImage(picture));
    settle();
    ASSERT_TRUE(controller->isPresented());
    EXPECT_FALSE(sharer.expired());
    EXPECT_EQ(controller->printInfo()->outputType(), device::PrintOutputType::Photo);
    EXPECT_FALSE(controller->showsPageRange());
    EXPECT_EQ(controller->printingItem(), picture);
    EXPECT_FALSE(controller->dialog()->isInPopover());

    ASSERT_TRUE(controller->dialog()->pressButtonWithTitle("Print"));
    settle();
    ASSERT_TRUE(controller->lastPrintout());
    EXPECT_EQ(controller->lastPrintout()->parent_path().filename(), "Printouts");
    EXPECT_EQ(fileStart(*controller->lastPrintout(), 5), "%PDF-");
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "finished" });
    EXPECT_TRUE(sharer.expired());

    share<SHKPrint>(SHKItem::createWithImage(picture));
    settle();
    ASSERT_TRUE(controller->isPresented());
    ASSERT_TRUE(controller->dialog()->pressButtonWithTitle("Cancel"));
    settle();
    EXPECT_EQ(m_reports->reports, (std::vector<std::string> { "finished", "failed" }));
}

TEST_F(SHKLocalSharerTest, PrintOnATabletPointsAPopoverFromTheCentreOfTheTopView)
{
    ui::Device::current().setUserInterfaceIdiom(ui::UserInterfaceIdiom::Pad);
    auto controller = device::PrintInteractionController::sharedPrintController();
    share<SHKPrint>(SHKItem::createWithImage(solidImage(10, 10, 1, 1, 1)));
    settle();
    ASSERT_TRUE(controller->isPresented());
    auto& dialog = controller->dialog();
    EXPECT_TRUE(dialog->isInPopover());
    auto view = m_root->view();
    auto bounds = view->bounds();
    EXPECT_EQ(dialog->anchorRect(), view->convertRectToScreen({ bounds.midX(), bounds.midY(), bounds.width(), bounds.height() }));
    controller->cancel();
    settle();
    EXPECT_EQ(m_reports->reports, std::vector<std::string> { "failed" });
}

}
